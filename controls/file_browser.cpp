#include "file_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyledItemDelegate>
#include <algorithm>

namespace Controls {

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

// Draws each folder indented by its depth, two blanks' width a level. The
// names themselves carry no blanks, so that typing a name finds it.
class IndentByDepth : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(option, index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(option, index), 0);
    }

private:
    static int indent(const QStyleOptionViewItem& option, const QModelIndex& index) {
        return index.data(kDepthRole).toInt() * option.fontMetrics.horizontalAdvance("  ");
    }
};

QString cleanPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QStringList sortedCaseless(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}
}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::activated, this, [this] { emit Change(); });
}

void DriveList::refresh() {
    // Volumes a user keeps files on: mounted folders, not the kernel's own
    // file systems nor single files mounted over others.
    static const QList<QByteArray> kSystemTypes{
        "proc",      "sysfs",    "devpts",     "cgroup",      "cgroup2",  "mqueue",
        "debugfs",   "tracefs",  "securityfs", "pstore",      "bpf",      "autofs",
        "hugetlbfs", "configfs", "fusectl",    "binfmt_misc", "devtmpfs", "nsfs"};
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && QFileInfo(root).isDir() && !roots.contains(root) &&
            !kSystemTypes.contains(volume.fileSystemType()))
            roots << root;
    }
    std::sort(roots.begin() + 1, roots.end());
    const QSignalBlocker quiet(this);
    clear();
    addItems(roots);
}

QString DriveList::Drive() const {
    return currentText();
}

void DriveList::showDriveOf(const QString& path) {
    const QString clean = cleanPath(path);
    int best = 0;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemText(i);
        const bool holds = root == "/" || clean == root || clean.startsWith(root + "/");
        if (holds && root.size() >= itemText(best).size()) best = i;
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(best);
}

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentByDepth(this));
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString target = item->data(kPathRole).toString();
        if (target != path_ && !setPath(target)) emit cannotOpen(target);
    });
}

bool DirList::setPath(const QString& path) {
    const QString clean = cleanPath(path);
    const QDir dir(clean);
    if (!dir.exists() || !dir.isReadable()) return false;
    if (clean == path_) return true;
    path_ = clean;
    rebuild();
    emit Change();
    return true;
}

void DirList::rebuild() {
    clear();
    QStringList chain;
    for (QDir d(path_);;) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp()) break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = folder == "/" ? QStringLiteral("/") : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(name, this);
        item->setData(kPathRole, folder);
        item->setData(kDepthRole, depth);
        ++depth;
    }
    setCurrentRow(static_cast<int>(chain.size()) - 1);
    const QStringList subfolders =
        sortedCaseless(QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(sub, this);
        item->setData(kPathRole, QDir(path_).filePath(sub));
        item->setData(kDepthRole, depth);
    }
}

FileList::FileList(QWidget* parent, const QString& pattern)
    : QListWidget(parent), patterns_(pattern.split(';')) {
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
    connect(this, &QListWidget::itemActivated, this, [this] { emit Click(); });
}

void FileList::setPath(const QString& path) {
    path_ = cleanPath(path);
    Refresh();
}

QString FileList::FileName() const {
    const QListWidgetItem* item = currentItem();
    return item != nullptr ? item->text() : QString();
}

void FileList::Refresh() {
    const QString keep = FileName();
    QDir dir(path_);
    dir.setNameFilters(patterns_);
    dir.setFilter(QDir::Files | QDir::Hidden);
    const QStringList names = sortedCaseless(dir.entryList());  // name filters ignore case
    const QSignalBlocker quiet(this);
    clear();
    addItems(names);
    const auto found = findItems(keep, Qt::MatchExactly);
    if (!found.isEmpty()) setCurrentItem(found.first());
}

void FileList::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) emit Click();
}

}  // namespace Controls
