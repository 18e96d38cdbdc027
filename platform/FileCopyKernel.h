#pragma once

#include <QString>

// The bytes of one file copied to another path, at the level of the operating system.
enum class FileCopyResult {
    Copied,
    SourceUnreadable, // missing, not a regular file, or cannot be opened
    TargetNotCreated, // a folder, write-protected, or its folder cannot take a new file
    ReadFailed,
    WriteFailed, // includes a write that stores fewer bytes than asked (a full disk)
};

// A target that is missing or a regular file is written as a temporary file beside it
// and renamed over it only when every byte has been stored, so a failed copy never
// leaves a truncated file nor destroys the old one; an existing target keeps its
// permission bits and, where allowed, its owner. A symbolic link as target is followed.
// An existing target that is neither (a device, a pipe) is written in place and never
// renamed over or removed.
FileCopyResult CopyFileContents(const QString &source, const QString &target);

// The kernel-side copy (copy_file_range) is tried first unless switched off; the
// read/write loop with a 512 KiB buffer finishes whatever it leaves, so both give the
// same outcomes. Tests switch it off to exercise the loop.
void SetKernelCopyEnabled(bool enabled);
bool KernelCopyEnabled();
