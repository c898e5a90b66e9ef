#include "ShellFixture.h"

#include "shell/BGForm.h"
#include "shell/Login.h"
#include "shell/MForm.h"
#include "shell/Pictures.h"
#include "platform/RegularFile.h"
#include "support/WriterlessFifo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>

namespace {

QString savePicture(const QString &path, Qt::GlobalColor colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

} // namespace

// Only a regular file is read as a picture, also behind a symbolic link;
// anything else in a picture's place gives no picture at once.
TEST(Pictures, OnlyRegularFilesAreRead)
{
    TestBook book;
    const QString dir = book.dir() + QLatin1Char('/');
    savePicture(dir + "picture.jpg", Qt::red);
    WriterlessFifo fifo(dir + "fifo.jpg");
    ASSERT_TRUE(fifo.made());
    ASSERT_TRUE(QFile::link(dir + "picture.jpg", dir + "to-picture.jpg"));
    ASSERT_TRUE(QFile::link(dir + "fifo.jpg", dir + "to-fifo.jpg"));
    ASSERT_TRUE(QDir().mkdir(dir + "folder.jpg"));
    const struct {
        const char *name;
        RegularFileOpen open;
    } cases[] = {
        {"picture.jpg", RegularFileOpen::Opened},  {"to-picture.jpg", RegularFileOpen::Opened},
        {"fifo.jpg", RegularFileOpen::NotAFile},   {"to-fifo.jpg", RegularFileOpen::NotAFile},
        {"folder.jpg", RegularFileOpen::NotAFile}, {"missing.jpg", RegularFileOpen::Missing},
        {"missing/x.jpg", RegularFileOpen::Missing},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile file;
        QString detail;
        EXPECT_EQ(openRegularFile(dir + c.name, file, &detail), c.open);
        EXPECT_EQ(file.isOpen(), c.open == RegularFileOpen::Opened);
        EXPECT_EQ(detail.isEmpty(), c.open == RegularFileOpen::Opened);
        const QPixmap picture = loadPicture(dir + c.name);
        EXPECT_EQ(picture.isNull(), c.open != RegularFileOpen::Opened);
        if (!picture.isNull()) {
            EXPECT_EQ(picture.toImage().pixelColor(0, 0), QColor(Qt::red));
        }
    }
    EXPECT_FALSE(fifo.finish()) << "a picture load waited on the FIFO";
}

// An operator picture that is a FIFO counts as no picture: the login goes on
// at once with the system picture and the labels hidden.
TEST(Pictures, LoginWithAFifoAsTheOperatorPicture)
{
    ShellFixture f;
    const QString app = f.book.m().gAppPath;
    savePicture(app + "syspic.dat", Qt::blue);
    ASSERT_TRUE(QDir().mkpath(app + "image"));
    WriterlessFifo fifo(app + "image/001.jpg");
    ASSERT_TRUE(fifo.made());
    MForm main;
    Login login(&main);
    child<QComboBox>(&login, "Cmb")->setEditText(QStringLiteral("001"));
    click(&login, "Cmd0");
    EXPECT_FALSE(fifo.finish()) << "the login waited on the FIFO";
    ASSERT_EQ(login.result(), QDialog::Accepted);
    BGForm *bg = main.background();
    EXPECT_EQ(bg->Img()->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_TRUE(bg->LabBig(0)->isHidden());
    EXPECT_TRUE(bg->Lab()->isHidden());
}

// An operator whose stored code is no plain name (written by an earlier
// version) logs in with the system picture: the path made from the code
// reaches no picture outside the folder "image".
TEST(Pictures, LoginOfACodeThatIsNoPlainNameShowsNoPictureOutside)
{
    ShellFixture f;
    const QString code = QStringLiteral("../../OUT");
    f.book.exec("insert into TE1 (F1,F2,F61,F62,F63,F64,F65,F66) values (?,'外人',1,1,1,1,1,1)", {code});
    f.book.m().gAppPath = f.book.dir() + QStringLiteral("/数据/");
    ASSERT_TRUE(QDir().mkpath(f.book.m().gAppPath + "image"));
    savePicture(f.book.m().gProgramPath + "syspic.dat", Qt::blue);
    savePicture(f.book.dir() + "/OUT.jpg", Qt::red);  // image/../../OUT.jpg
    MForm main;
    Login login(&main);
    child<QLineEdit>(&login, "Txt0")->setText(code);  // the code box behind the list, as a pick fills it
    click(&login, "Cmd0");
    ASSERT_EQ(login.result(), QDialog::Accepted);
    BGForm *bg = main.background();
    EXPECT_EQ(bg->Img()->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_TRUE(bg->LabBig(0)->isHidden());
}
