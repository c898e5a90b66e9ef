// Qt's file dialog as the program shows it: Chinese texts in its detail
// columns, each column wide enough for what it shows.
#include "platform/DesktopLocale.h"
#include "platform/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

TEST(FileDialog, DetailColumnsReadChineseAndWhole)
{
    InstallChineseDesktop(*qApp);
    QTemporaryDir folder;
    // The dialog keeps its state in Qt's user settings: here, not the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.filePath(QStringLiteral("settings")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("数据备份")));
    QFile file(folder.filePath(QStringLiteral("说明.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(500, 'x'));
    file.close();

    QFileDialog dialog(nullptr, QStringLiteral("请选择文件"), folder.path());
    PrepareChineseFileDialog(dialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    QAbstractItemModel &model = *view->model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount(view->rootIndex()) == 2; }));
    QTest::qWait(50);  // the type column follows the loaded folder

    const auto text = [&](int row, int column) {
        return model.index(row, column, view->rootIndex()).data().toString();
    };
    const QString captions[] = {QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("类型"),
                                QStringLiteral("修改日期")};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
    const int folderRow = text(0, 0) == QStringLiteral("数据备份") ? 0 : 1;
    const int fileRow = 1 - folderRow;
    EXPECT_EQ(text(folderRow, 2), QStringLiteral("文件夹"));
    EXPECT_EQ(text(fileRow, 1), QStringLiteral("500 字节"));
    const QRegularExpression chineseShortDate(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2} \\d{2}:\\d{2}$"));
    for (int row : {folderRow, fileRow}) {
        EXPECT_TRUE(chineseShortDate.match(text(row, 3)).hasMatch()) << text(row, 3).toStdString();
        for (int column = 1; column <= 3; ++column)
            EXPECT_GT(view->header()->sectionSize(column), view->fontMetrics().horizontalAdvance(text(row, column)))
                << "row " << row << " column " << column << " " << text(row, column).toStdString();
    }
    // Every column fits the view: no column hides behind its right edge.
    int columns = 0;
    for (int column = 0; column < view->header()->count(); ++column)
        columns += view->header()->sectionSize(column);
    EXPECT_LE(columns, view->viewport()->width());
    // The widest size and date texts fit too.
    EXPECT_GT(view->header()->sectionSize(1), view->fontMetrics().horizontalAdvance(QStringLiteral("999.99 MiB")));
    EXPECT_GT(view->header()->sectionSize(3), view->fontMetrics().horizontalAdvance(QStringLiteral("2026/12/28 23:58")));
}

TEST(FileDialog, AFileNameIsShownWholeWhereTheDetailColumnsLeaveRoom)
{
    InstallChineseDesktop(*qApp);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const auto folderWith = [](QTemporaryDir &folder, const QString &name) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(67584, 'x'));
        return folder.path();
    };
    QTemporaryDir reports;
    QTemporaryDir backups;
    const QString backup = QStringLiteral("备份-货品进出存帐本(2).vzk");
    // First a folder of a long type name, then the backups: the second dialog
    // starts from the column widths the first one left.
    const QString shown[][2] = {{folderWith(reports, QStringLiteral("报表.xlsx")), QStringLiteral("报表.xlsx")},
                                {folderWith(backups, backup), backup}};
    for (const auto &[path, name] : shown) {
        SCOPED_TRACE(name.toStdString());
        QFileDialog dialog(nullptr, QStringLiteral("请选择文件"), path);
        PrepareChineseFileDialog(dialog);
        dialog.setViewMode(QFileDialog::Detail);
        dialog.show();
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        QAbstractItemModel &model = *view->model();
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount(view->rootIndex()) == 1; }));
        QTest::qWait(50);  // the type column follows the loaded folder
        const QModelIndex row = model.index(0, 0, view->rootIndex());
        ASSERT_EQ(row.data().toString(), name);
        const QString type = model.index(0, 2, view->rootIndex()).data().toString();
        QHeaderView *header = view->header();
        EXPECT_GE(view->visualRect(row).width(), view->fontMetrics().horizontalAdvance(name) + view->iconSize().width())
            << "name " << header->sectionSize(0) << ", type " << header->sectionSize(2) << " for "
            << type.toStdString();
        EXPECT_GT(header->sectionSize(2), view->fontMetrics().horizontalAdvance(type));
        int columns = 0;
        for (int column = 0; column < header->count(); ++column)
            columns += header->sectionSize(column);
        EXPECT_LE(columns, view->viewport()->width());
        dialog.hide();
    }
}
