#include "instances/InstanceList.h"

#include "model/Globals.h"

QString InstanceLineName(const QString &line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.left(eq);
}

QString InstanceLineValue(const QString &line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

bool CompleteInstanceLists(QStringList &paths, QStringList &colors) {
    const bool matched = paths.size() == colors.size();
    while (colors.size() < paths.size())
        colors.append(FillerColorLine);
    if (paths.isEmpty()) {
        colors.clear();
        paths.append(DefaultInstanceName + QLatin1Char('=') + DefaultInstancePath);
        colors.append(DefaultInstanceName + QLatin1Char('=') + DefaultInstanceColor);
    }
    return matched;
}

namespace {

int indexOfName(const QString &name) {
    if (!InstancePaths)
        return -1;
    for (int i = 0; i < InstancePaths->size(); ++i)
        if (InstanceLineName(InstancePaths->at(i)).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

QString InstancePathOf(const QString &name) {
    if (name == DefaultInstanceName || name.isEmpty())
        return QString();
    const int i = indexOfName(name);
    return i < 0 ? QString() : InstanceLineValue(InstancePaths->at(i));
}

std::optional<TColor> InstanceColorOf(const QString &name, QString *error) {
    if (name.isEmpty() || name == DefaultInstanceName)
        return clWindow;
    const int i = indexOfName(name);
    if (i < 0 || !InstanceColors || i >= InstanceColors->size())
        return std::nullopt;
    TColor c;
    if (!StringToColor(InstanceLineValue(InstanceColors->at(i)), &c, error))
        return std::nullopt;
    return c;
}
