#include "platform/Folders.h"

#include <QStandardPaths>

QString SpecialFolderPath(int folder) {
    switch (folder) {
    case FolderDocuments:
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case FolderDesktop:
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    default:
        return QString();
    }
}
