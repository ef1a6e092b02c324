#include "core/app/MruList.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {
const QString filesKey = u"files"_s;

QSettings settingsFor(const QString &keyName)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, keyName, u"recent-files"_s);
}
} // namespace

MruList::MruList(QObject *parent) : QObject(parent) {}

void MruList::setKeyName(const QString &keyName)
{
    m_keyName = keyName;
    m_files.clear();
    if (m_keyName.isEmpty())
        return;
    // A damaged store still gives a usable list: whatever is not a file name is dropped.
    const QVariant stored = settingsFor(m_keyName).value(filesKey);
    const QStringList names = stored.canConvert<QStringList>() ? stored.toStringList() : QStringList();
    for (const QString &name : names) {
        if (!name.isEmpty() && !m_files.contains(name) && m_files.size() < maxEntries)
            m_files.append(name);
    }
    emit changed();
}

void MruList::setCapacity(int capacity)
{
    m_capacity = qBound(1, capacity, maxEntries);
    if (m_files.size() <= m_capacity)
        return;
    m_files.resize(m_capacity);
    emit changed();
}

bool MruList::addFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const bool isNew = m_files.removeAll(fileName) == 0;
    m_files.prepend(fileName);
    while (m_files.size() > m_capacity)
        m_files.removeLast();
    store();
    emit changed();
    return isNew;
}

void MruList::removeFile(const QString &fileName)
{
    if (m_files.removeAll(fileName) == 0)
        return;
    store();
    emit changed();
}

QString MruList::fileName(int index) const
{
    return index >= 1 && index <= m_files.size() ? m_files.at(index - 1) : QString();
}

void MruList::store() const
{
    if (m_keyName.isEmpty())
        return;
    QSettings settings = settingsFor(m_keyName);
    settings.setValue(filesKey, m_files);
    settings.sync();
}

} // namespace vbu

#include "moc_MruList.cpp"
