#include "Query.h"

#include "db/DateText.h"

#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/SqlText.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPointer<Query> gQuery;

const QString kAnd = QStringLiteral("并且");
const QString kOr = QStringLiteral("或者");
const QString kNot = QStringLiteral("排除");

QStringList relationsOf(const QString &type)
{
    if (type == QLatin1String("0"))
        return {QStringLiteral("等于(=)"), QStringLiteral("包含(like)")};
    if (type == QLatin1String("1"))
        return {QStringLiteral("大于(>)"), QStringLiteral("小于(<)"), QStringLiteral("等于(=)")};
    if (type == QLatin1String("2"))
        return {QStringLiteral("大于(>=)"), QStringLiteral("小于(<=)"), QStringLiteral("等于(=)")};
    return {};
}

// The date relations as ranges of the stored date, which the date index serves.
db::DayRelation dayRelationOf(const QString &op)
{
    if (op == QLatin1String(" >= "))
        return db::DayRelation::From;
    if (op == QLatin1String(" <= "))
        return db::DayRelation::Until;
    return db::DayRelation::On;
}

} // namespace

Query &Query::instance(QWidget *parent)
{
    if (!gQuery)
        gQuery = new Query(parent);
    return *gQuery;
}

bool Query::isLoaded()
{
    return !gQuery.isNull();
}

Query::Query(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Query"));
    setWindowTitle(QStringLiteral("查找条件"));
    setModal(true);

    GD = new GridModel(3, this);
    GD->setObjectName(QStringLiteral("GD"));

    CPT = new QLabel(QStringLiteral("              项目         关系         值"), this);
    CPT->setObjectName(QStringLiteral("CPT"));
    CmbLG = new QComboBox(this);
    CmbLG->setObjectName(QStringLiteral("CmbLG"));
    CmbLG->addItems({kAnd, kOr, kNot});
    CmbF = new QComboBox(this);
    CmbF->setObjectName(QStringLiteral("CmbF"));
    CmbGX = new QComboBox(this);
    CmbGX->setObjectName(QStringLiteral("CmbGX"));
    Txt = new QLineEdit(this);
    Txt->setObjectName(QStringLiteral("Txt"));
    DTP = new QDateEdit(this);
    DTP->setObjectName(QStringLiteral("DTP"));
    DTP->setCalendarPopup(true);
    DTP->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DTP->hide();
    Lst = new QListWidget(this);
    Lst->setObjectName(QStringLiteral("Lst"));
    Lst->setToolTip(QStringLiteral("查询条件窗口"));
    Lst->setStyleSheet(QStringLiteral("QListWidget { background: rgb(192,255,255); color: blue; }"));
    LstSql = new QListWidget(this);
    LstSql->setObjectName(QStringLiteral("LstSql"));
    LstSql->hide();
    CmdAdd = new QPushButton(QStringLiteral("增 加"), this);
    CmdAdd->setObjectName(QStringLiteral("CmdAdd"));
    CmdRemove = new QPushButton(QStringLiteral("删 除"), this);
    CmdRemove->setObjectName(QStringLiteral("CmdRemove"));
    CmdQuery = new QPushButton(QStringLiteral("查 找"), this);
    CmdQuery->setObjectName(QStringLiteral("CmdQuery"));
    CmdCancel = new QPushButton(QStringLiteral("取 消"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    // Enter in the value box adds a condition; no button takes it over.
    for (QPushButton *b : {CmdAdd, CmdRemove, CmdQuery, CmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *entry = new QHBoxLayout;
    entry->addWidget(CmbLG);
    entry->addWidget(CmbF, 2);
    entry->addWidget(CmbGX, 1);
    entry->addWidget(Txt, 2);
    entry->addWidget(DTP, 2);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {CmdAdd, CmdRemove, CmdQuery, CmdCancel})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addWidget(CPT, 0, 0);
    grid->addLayout(entry, 1, 0);
    grid->addWidget(Lst, 2, 0);
    grid->addWidget(LstSql, 3, 0);
    grid->addLayout(buttons, 1, 1, 2, 1);
    resize(560, 300);

    // Window load: the join word starts on "并且" and stays hidden until a condition exists.
    CmbLG->setCurrentIndex(0);
    CmbLG->hide();

    connect(CmbF, &QComboBox::currentIndexChanged, this, &Query::chooseField);
    connect(CmbF, &QComboBox::activated, this, &Query::chooseField);
    connect(CmdAdd, &QPushButton::clicked, this, &Query::addCondition);
    connect(CmdRemove, &QPushButton::clicked, this, &Query::removeCondition);
    connect(CmdQuery, &QPushButton::clicked, this, &Query::finishQuery);
    connect(CmdCancel, &QPushButton::clicked, this, &Query::cancelQuery);
    connect(Txt, &QLineEdit::returnPressed, this, &Query::addCondition);
    Txt->installEventFilter(this);
}

int Query::showModal()
{
    if (loader)
        loader->PubConditions.clear();
    inModal_ = true;
    const int answer = runModal(*this);
    inModal_ = false;
    unload();
    return answer;
}

void Query::unload()
{
    // The next call starts afresh with a new dialog.
    if (gQuery == this)
        gQuery = nullptr;
    hide();
    if (!inModal_)
        deleteLater();
}

void Query::setFields(const QVector<QueryField> &fields)
{
    GD->clearRows();
    GD->setCols(3);
    GD->setRows(qMax(2, int(fields.size())));
    for (int r = 0; r < fields.size(); ++r) {
        GD->setTextMatrix(r, 0, fields[r].caption);
        GD->setTextMatrix(r, 1, fields[r].expression);
        GD->setTextMatrix(r, 2, fields[r].type);
    }
    CmbF->clear();
    for (const QueryField &f : fields)
        CmbF->addItem(f.caption);
}

QString Query::fieldText(int col) const
{
    const int index = CmbF->currentIndex();
    return index < 0 ? QString() : GD->textMatrix(index, col);
}

void Query::chooseField(int index)
{
    CmbGX->clear();
    if (index < 0)
        return;
    const QString type = GD->textMatrix(index, 2);
    CmbGX->addItems(relationsOf(type));
    const bool date = type == QLatin1String("2");
    Txt->setVisible(!date);
    DTP->setVisible(date);
    if (date)
        DTP->setDate(Module1::instance().Today());
    CmbGX->setCurrentIndex(CmbGX->count() > 0 ? 0 : -1);
}

void Query::addCondition()
{
    if (CmbF->currentIndex() < 0 || CmbGX->currentIndex() < 0)
        return;  // no field, or a field of an unknown type: nothing to add
    const QString type = fieldText(2);
    const QString expression = fieldText(1);
    double number = 0;
    if (type == QLatin1String("1") && !Txt->isHidden() && !numtext::readNumber(Txt->text(), number)) {
        Prompt::current().message(QStringLiteral("提示"), numtext::unstorableMessage(CmbF->currentText().trimmed()),
                                  Prompt::Icon::Information);
        Txt->setFocus();
        Txt->selectAll();
        return;
    }

    // 1. the join
    QString shown;
    QString piece;
    const bool first = CmbLG->isHidden();
    if (!first) {
        if (CmbLG->currentIndex() < 0)
            CmbLG->setCurrentIndex(0);
        const QString join = CmbLG->currentText().trimmed();
        shown = CmbLG->currentText() + QStringLiteral("    ");
        piece = join == kAnd ? QStringLiteral(" And ") : join == kOr ? QStringLiteral(" Or ") : QStringLiteral(" AND Not ");
    } else {
        shown = QStringLiteral("        ");
        piece = QStringLiteral(" Where ");
    }

    // 2. the operator, from the relation text: "包含(like)" gives " like "
    const QString relation = CmbGX->currentText();
    const QString op = QLatin1Char(' ') + relation.left(relation.size() - 1).mid(3) + QLatin1Char(' ');
    const bool like = op == QLatin1String(" like ");

    // 3, 4
    shown += CmbF->currentText() + QStringLiteral("  ") + relation.left(2) + QStringLiteral("  ");
    if (type == QLatin1String("1")) {
        // The figure as lists show it: 0.3 - 0.2 equals a typed 0.1.
        piece += QStringLiteral("decimal_value(") + expression + QLatin1Char(')') + op;
    } else if (type != QLatin1String("2")) {
        piece += expression + op;  // a date condition is written whole with its value (7)
    }

    // 5, 6. the value
    QString value;
    if (!Txt->isHidden())
        value = type == QLatin1String("1") ? numtext::numToText(numtext::typedNumber(Txt->text())) : Txt->text();
    else
        value = DTP->date().toString(QStringLiteral("yyyy-MM-dd"));
    shown += QStringLiteral("   ") + value;

    // 7. the rest of the SQL piece
    if (type == QLatin1String("0")) {
        piece += like ? sqltext::likeContains(value) : sqltext::quoted(value);
        piece += QStringLiteral("  ");
    } else if (type == QLatin1String("1")) {
        piece += value;
    } else {
        piece += db::literalDayCondition(expression, dayRelationOf(op), DTP->date()) + QLatin1Char(' ');
    }

    // 8, 9
    Lst->addItem(shown);
    LstSql->addItem(piece);
    if (first) {
        CmbLG->show();
        CmbLG->setCurrentIndex(0);
    }
}

void Query::removeCondition()
{
    const QList<QListWidgetItem *> selected = Lst->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = Lst->row(selected.first());
    delete Lst->takeItem(row);
    delete LstSql->takeItem(row);
    if (Lst->count() == 0) {
        CmbLG->hide();
        return;
    }
    Lst->setCurrentRow(Lst->count() - 1);
    // A first line that starts with a join word becomes the first condition.
    QListWidgetItem *firstShown = Lst->item(0);
    if (firstShown->text().left(2) != QLatin1String("  ")) {
        firstShown->setText(QStringLiteral("  ") + firstShown->text().mid(2));
        QListWidgetItem *firstSql = LstSql->item(0);
        QString s = firstSql->text();
        if (s.startsWith(QLatin1String(" And ")))
            s = QStringLiteral(" Where ") + s.mid(5);
        else if (s.startsWith(QLatin1String(" Or ")))
            s = QStringLiteral(" Where ") + s.mid(4);
        else if (s.startsWith(QLatin1String(" AND Not ")))
            s = QStringLiteral(" Where Not ") + s.mid(9);
        firstSql->setText(s);
    }
}

QStringList Query::sqlPieces() const
{
    QStringList pieces;
    for (int i = 0; i < LstSql->count(); ++i)
        pieces.append(LstSql->item(i)->text());
    return pieces;
}

QString Query::conditionsOf(const QStringList &pieces)
{
    QString all = pieces.join(QString());
    const QString where = QStringLiteral(" Where ");
    if (all.startsWith(where))
        all = all.mid(where.size());
    return all.trimmed();
}

void Query::finishQuery()
{
    if (LstSql->count() == 0 && (!Txt->text().trimmed().isEmpty() || !DTP->isHidden())) {
        const QString how = !DTP->isHidden()
                                ? QStringLiteral("如果要让系统无条件列出所有数据，请把“项目”切换到非日期项，保持“值”内容为空，再按[查找]。")
                                : QStringLiteral("如果要让系统无条件列出所有数据，请保持“值”一栏中内容为空，再按[查找]按钮。");
        Prompt::current().message(QString(),
                                  QStringLiteral("必须首先点击[增加]按钮，把查询条件添加到兰色条件窗口中，再点击[查找]按钮！")
                                      + QStringLiteral("\n\n") + how + QStringLiteral("\n\n")
                                      + QStringLiteral("如果想中止查找操作，请点击[取消]按钮！"),
                                  Prompt::Icon::Information);
        return;
    }
    const QStringList pieces = sqlPieces();
    if (loader) {
        loader->PubSql = SqlHeadstr + pieces.join(QString());
        loader->PubConditions = conditionsOf(pieces);
    }
    accept();
    unload();
}

void Query::cancelQuery()
{
    if (loader) {
        loader->PubSql.clear();
        loader->PubConditions.clear();
    }
    reject();
    unload();
}

bool Query::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Txt && event->type() == QEvent::FocusIn && !Txt->text().isEmpty())
        QTimer::singleShot(0, Txt, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}
