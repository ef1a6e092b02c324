#pragma once

#include <QObject>
#include <QStringList>

namespace vbu {

// The recent-files list behind the File menu. Most recent first; a name added again moves to
// the top. The list is kept between runs in the user's settings under the key name, the only
// thing the program keeps. The menu that shows it is the window's: it follows changed().
class MruList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MruList)

public:
    static constexpr int maxEntries = 4;

    explicit MruList(QObject *parent = nullptr);

    // Names the stored list and loads it.
    void setKeyName(const QString &keyName);
    void setCapacity(int capacity);

    // Returns true when the name was not yet in the list.
    bool addFile(const QString &fileName);
    void removeFile(const QString &fileName);
    // The full name behind entry index (from 1), or empty.
    QString fileName(int index) const;
    QStringList files() const { return m_files; }

signals:
    // The list is different from what it was.
    void changed();

private:
    void store() const;

    QString m_keyName;
    int m_capacity = maxEntries;
    QStringList m_files;
};

} // namespace vbu
