#include "support/WindowDriver.h"
#include "masterdata/GoodsWindow.h"
#include "support/TestBook.h"
#include "support/WriterlessFifo.h"

#include <QLabel>
#include <QTabBar>

// A goods picture path that names a FIFO, whether a book points to it or the
// clerk picks it, gives no picture at once instead of freezing the card.
TEST(GoodsPicture, AFifoShowsNoPictureAtOnce)
{
    TestBook book;
    const QString fifoPath = book.dir() + QStringLiteral("/pipe.jpg");
    WriterlessFifo fifo(fifoPath);
    ASSERT_TRUE(fifo.made());
    book.exec("insert into TA3 (F1,F2) values ('01','五金')");
    book.exec("insert into TA4 (F1,F2,F3,F9) values ('G1','甲','01',?)", {fifoPath});
    A4 w;
    WindowDriver<A4> d{w};
    auto *info = w.findChild<QLabel *>(QStringLiteral("LabInfo"));
    w.findChild<QTabBar *>(QStringLiteral("TabS"))->setCurrentIndex(1);
    EXPECT_EQ(info->text(), A4::kNoPicture);
    d.menu("Menu_edit");
    book.fileDialogs().answer(fifoPath);
    QTest::mouseDClick(w.findChild<QLabel *>(QStringLiteral("Img")), Qt::LeftButton);
    EXPECT_EQ(info->text(), A4::kPictureHint);
    EXPECT_FALSE(fifo.finish()) << "the goods card waited on the FIFO";
}
