#pragma once

#include <QString>

// The user's well-known folders, from the XDG user directories.
// Shell folder numbers kept from the batch files' origin: 5 documents, 16 desktop.
enum SpecialFolder { FolderDocuments = 5, FolderDesktop = 16 };

// The folder's path without a trailing "/", or an empty text when it cannot be resolved.
QString SpecialFolderPath(int folder);
