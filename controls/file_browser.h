#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace Controls {

// Drive, folder and file lists that behave like their Windows namesakes.

// The mounted volumes, the root first. Change: another drive was chosen.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent);
    QString Drive() const;                  // the chosen volume's root path
    void showDriveOf(const QString& path);  // selects the volume holding path, without Change
    void refresh();

signals:
    void Change();
};

// The path from the root down to the current folder, then its subfolders;
// a double click (or Enter) opens a folder. Change: the path changed.
class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent);
    QString Path() const { return path_; }
    // Shows the folder; false (and nothing changes) when it cannot be listed.
    bool setPath(const QString& path);

signals:
    void Change();
    void cannotOpen(const QString& folder);

private:
    void rebuild();
    QString path_;
};

// The files of a folder that match the pattern (case-insensitive), sorted.
// Click: a file was clicked.
class FileList : public QListWidget {
    Q_OBJECT
public:
    FileList(QWidget* parent, const QString& pattern);
    QString Path() const { return path_; }
    void setPath(const QString& path);
    QString FileName() const;
    void Refresh();

signals:
    void Click();

protected:
    // Choosing another file with the keyboard counts as a click, too.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString path_;
    QStringList patterns_;
};

}  // namespace Controls
