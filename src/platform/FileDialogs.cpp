#include "FileDialogs.h"

#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStyle>
#include <QTreeView>

namespace {
QtFileDialogs gQtFileDialogs;
FileDialogs *gCurrentDialogs = &gQtFileDialogs;

// The detail columns of the dialog's file model.
enum FileColumn { ColName = 0, ColSize = 1, ColType = 2, ColModified = 3 };

// Files take their type from their MIME type, whose comment follows the
// program's locale; folders and drives get their Chinese words here.
class ChineseFileTypes : public QFileIconProvider {
public:
    QString type(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return QStringLiteral("驱动器");
        if (info.isDir())
            return QStringLiteral("文件夹");
        return QFileIconProvider::type(info);
    }
};

// Sizes and dates in the program's (Chinese) locale rather than the system's.
class ChineseFileTexts : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != ColSize && index.column() != ColModified))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == ColModified)
            return modifiedText(files->lastModified(source));
        return files->isDir(source) ? QString() : sizeText(files->size(source));
    }

    // Qt's Chinese texts name the size column "体积" (a volume): it is "大小".
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section == ColSize && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QStringLiteral("大小");
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    static QString sizeText(qint64 bytes) { return QLocale().formattedDataSize(bytes); }
    static QString modifiedText(const QDateTime &time) { return QLocale().toString(time, QLocale::ShortFormat); }
};

// Widens a detail column to its caption and to a text of the widest kind it
// shows; exactly, when the texts are all there are (a wider column, as the
// dialog left it last time, then gives its room back to the names).
enum class Fit { Widen, Exactly };
void fitColumn(QTreeView &view, int column, const QString &widestText, Fit fit = Fit::Widen)
{
    QHeaderView *header = view.header();
    const int margin = 2 * view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 16;
    const QString caption = view.model()->headerData(column, Qt::Horizontal).toString();
    const int wanted = qMax(view.fontMetrics().horizontalAdvance(widestText),
                            header->fontMetrics().horizontalAdvance(caption)) + margin;
    if (header->sectionSize(column) < wanted || (fit == Fit::Exactly && header->sectionSize(column) > wanted))
        header->resizeSection(column, wanted);
}

// The name column gives the detail columns their room: whenever the view is
// resized (also when first shown), it narrows so that every column fits, or
// widens into the room they leave.
class NameColumnGivesRoom : public QObject {
public:
    explicit NameColumnGivesRoom(QTreeView *view) : QObject(view), view_(view)
    {
        view->viewport()->installEventFilter(this);
    }

    void fit()
    {
        QHeaderView *header = view_->header();
        int others = 0;
        for (int column = ColSize; column < header->count(); ++column)
            others += header->isSectionHidden(column) ? 0 : header->sectionSize(column);
        const int room = qMax(header->minimumSectionSize(), view_->viewport()->width() - others);
        if (header->sectionSize(ColName) != room)
            header->resizeSection(ColName, room);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView *view_;
};
} // namespace

void PrepareChineseFileDialog(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto *types = new ChineseFileTypes;
    dialog.setIconProvider(types);
    QObject::connect(&dialog, &QObject::destroyed, [types] { delete types; });
    dialog.setProxyModel(new ChineseFileTexts(&dialog));
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view || !view->model())
        return;
    // A size just below a thousand units and a date with two-digit month,
    // day and hour are the widest texts of their columns.
    fitColumn(*view, ColSize, ChineseFileTexts::sizeText(Q_INT64_C(999) * 1024 * 1024 + 999 * 1024 * 1024 / 1000));
    fitColumn(*view, ColModified,
              ChineseFileTexts::modifiedText(QDateTime(QDate(2026, 12, 28), QTime(23, 58))));
    fitColumn(*view, ColType, types->type(QFileInfo(dialog.directory().absolutePath())));
    auto *names = new NameColumnGivesRoom(view);
    // File types are as wide as their names: the column follows each folder shown.
    if (auto *files = qobject_cast<QFileSystemModel *>(
            static_cast<QAbstractProxyModel *>(view->model())->sourceModel())) {
        QObject::connect(files, &QFileSystemModel::directoryLoaded, view, [files, view, names](const QString &folder) {
            const QModelIndex parent = files->index(folder);
            QString widest;
            for (int row = 0; row < files->rowCount(parent); ++row) {
                const QString type = files->data(files->index(row, ColType, parent)).toString();
                if (view->fontMetrics().horizontalAdvance(type) > view->fontMetrics().horizontalAdvance(widest))
                    widest = type;
            }
            fitColumn(*view, ColType, widest, Fit::Exactly);
            names->fit();
        });
    }
}

FileDialogs &FileDialogs::current()
{
    return *gCurrentDialogs;
}

void FileDialogs::setCurrent(FileDialogs *dialogs)
{
    gCurrentDialogs = dialogs ? dialogs : &gQtFileDialogs;
}

namespace {
// Shows a dialog set up by setUp and returns the chosen path; empty when cancelled.
template <typename SetUp>
QString chosenPath(QWidget *parent, const QString &caption, const QString &dir, const QString &filter, SetUp setUp)
{
    QFileDialog dialog(parent, caption, dir, filter);
    setUp(dialog);
    PrepareChineseFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
} // namespace

QString QtFileDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return chosenPath(parent, caption, dir, filter, [](QFileDialog &d) { d.setFileMode(QFileDialog::ExistingFile); });
}

QString QtFileDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    return chosenPath(parent, caption, dir, filter, [](QFileDialog &d) { d.setAcceptMode(QFileDialog::AcceptSave); });
}

QString QtFileDialogs::existingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    return chosenPath(parent, caption, dir, QString(), [](QFileDialog &d) {
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly);
    });
}

ScriptedFileDialogs::ScriptedFileDialogs()
{
    FileDialogs::setCurrent(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    if (&FileDialogs::current() == this)
        FileDialogs::setCurrent(nullptr);
}

QString ScriptedFileDialogs::next(const QString &caption)
{
    captions.append(caption);
    return answers_.isEmpty() ? QString() : answers_.dequeue();
}

QString ScriptedFileDialogs::openFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    return next(caption);
}

QString ScriptedFileDialogs::saveFileName(QWidget *, const QString &caption, const QString &, const QString &)
{
    return next(caption);
}

QString ScriptedFileDialogs::existingDirectory(QWidget *, const QString &caption, const QString &)
{
    return next(caption);
}
