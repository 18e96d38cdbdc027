#include "platform/DesktopOpen.h"

#include <QFile>
#include <QFileInfo>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <unistd.h>

namespace {

struct LaunchSetup {
    QByteArray workingDir; // empty: inherit
};

// Runs in the new process between fork and exec.
void childSetup(gpointer data) {
    const auto *setup = static_cast<const LaunchSetup *>(data);
    setsid();
    if (!setup->workingDir.isEmpty() && chdir(setup->workingDir.constData()) != 0)
        _exit(127);
}

void pidReported(GDesktopAppInfo *, GPid pid, gpointer data) {
    *static_cast<int *>(data) = pid;
}

QString takeError(GError *error, const QString &fallback) {
    if (!error)
        return fallback;
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}

} // namespace

bool OpenWithDefaultApplication(const QString &path, const QString &workingDir, ChildProcess *child,
                                QString *error) {
    child->pid = -1;
    child->pidfd = -1;
    const QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    GFile *file = g_file_new_for_path(native.constData());
    GError *gerror = nullptr;
    GFileInfo *info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, &gerror);
    if (!info) {
        g_object_unref(file);
        if (error)
            *error = takeError(gerror, QStringLiteral("Cannot read the file"));
        return false;
    }
    const char *type = g_file_info_get_content_type(info);
    GAppInfo *app = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    const QString typeName = QString::fromUtf8(type ? type : "");
    g_object_unref(info);
    if (!app) {
        g_object_unref(file);
        if (error)
            *error = QStringLiteral("No application is set to open files of type %1").arg(typeName);
        return false;
    }
    GList *files = g_list_append(nullptr, file);
    bool ok = false;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        LaunchSetup setup{QFile::encodeName(workingDir)};
        int pid = -1;
        gchar *uri = g_file_get_uri(file);
        GList *uris = g_list_append(nullptr, uri);
        // Not reaped by GLib: the exit status is ours to read, and no GLib child watch
        // competes with our own wait.
        ok = g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(app), uris, nullptr,
            GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), childSetup, &setup,
            pidReported, &pid, &gerror);
        g_list_free(uris);
        g_free(uri);
        if (ok && pid > 0)
            *child = AdoptChild(pid);
    } else {
        ok = g_app_info_launch(app, files, nullptr, &gerror);
    }
    g_list_free(files);
    g_object_unref(app);
    g_object_unref(file);
    if (!ok && error)
        *error = takeError(gerror, QStringLiteral("The application could not be started"));
    else if (gerror)
        g_error_free(gerror);
    return ok;
}
