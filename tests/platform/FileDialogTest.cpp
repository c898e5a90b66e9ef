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
