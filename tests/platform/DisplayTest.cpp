// How grid cells and wrapped texts read on screen: the general alignment of
// grid cells and line breaks that keep arrows and bracketed terms whole.
#include "platform/DisplayText.h"
#include "platform/GridModel.h"

#include <QFont>
#include <QTextLayout>
#include <gtest/gtest.h>

TEST(GridModelDisplay, CellsWithoutColumnAlignmentAlignNumbersRightAndTextLeft)
{
    struct Case {
        const char *text;
        bool number;
    };
    const Case cases[] = {
        {"12", true},     {"-3.5", true},  {"1,234.50", true}, {" 7 ", true},   {"0.46", true},
        {"+2", true},     {"15%", true},   {".5", true},       {"螺钉", false}, {"A01", false},
        {"12abc", false}, {"", false},     {"-", false},       {"1.2.3", false}, {"合计：", false},
        {"2026-12-10", false},
    };
    GridModel model(2);
    model.setColAlignment(1, Qt::AlignCenter);  // a column's own alignment wins
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        model.setTextMatrix(1, 0, QString::fromUtf8(c.text));
        model.setTextMatrix(1, 1, QString::fromUtf8(c.text));
        const auto shown = [&](int col) {
            return Qt::Alignment(model.data(model.index(0, col), Qt::TextAlignmentRole).toInt());
        };
        EXPECT_EQ(shown(0) & Qt::AlignHorizontal_Mask, c.number ? Qt::AlignRight : Qt::AlignLeft);
        EXPECT_EQ(shown(1), Qt::AlignCenter);
    }
}

// The texts where a line break would tear a term apart, laid out at every
// width from narrow to wide: no line may end inside a kept term.
TEST(KeepTokensTogether, LinesNeverBreakInsideArrowsOrBracketedTerms)
{
    const QString texts[] = {
        QStringLiteral("系统默认用户为“001”，默认密码为空。也就是不需要输入密码，直接按<登录>按钮登录。"),
        QStringLiteral("您可以在主界面[系统管理]->[系统设置]->[系统功能设置]中关闭本功能。"),
        QStringLiteral("打开 A->B 再按<确定>"),
    };
    const QStringList kept{QStringLiteral("->"), QStringLiteral("<登录>"), QStringLiteral("“001”"),
                           QStringLiteral("[系统管理]"), QStringLiteral("<确定>")};
    QFont font;
    font.setPixelSize(14);
    for (const QString &text : texts) {
        const QString shown = KeepTokensTogether(text);
        EXPECT_EQ(QString(shown).remove(QChar(0x2060)), text);  // only invisible joiners added
        for (int width = 30; width <= 400; width += 7) {
            QTextLayout layout(shown, font);
            layout.beginLayout();
            QStringList lines;
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                lines << QString(shown.mid(line.textStart(), line.textLength())).remove(QChar(0x2060));
            }
            layout.endLayout();
            ASSERT_EQ(lines.join(QString()), text);
            for (int i = 0; i + 1 < lines.size(); ++i) {
                const QString joint = lines[i].right(6) + QLatin1Char('|') + lines[i + 1].left(6);
                for (const QString &term : kept) {
                    // A term that spans the joint has been torn apart.
                    const QString glued = lines[i].right(6) + lines[i + 1].left(6);
                    const qsizetype at = glued.indexOf(term);
                    const qsizetype cut = lines[i].right(6).size();
                    EXPECT_FALSE(at >= 0 && at < cut && at + term.size() > cut)
                        << "width " << width << ": " << joint.toStdString();
                }
            }
        }
    }
}
