#include "FromExcel.h"

#include "BackupLink.h"
#include "ExcelSheet.h"
#include "GoodsImport.h"
#include "SheetGrid.h"
#include "platform/FileDialogs.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/DesktopServices.h"
#include "shell/Module1.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

void setPanel4(const QString &text)
{
    Module1::instance().statusPanels().setPanelText(4, text);
}

} // namespace

FromExcel::FromExcel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FromExcel"));
    setWindowTitle(QStringLiteral("导入货品基础数据"));
    buildControls();

    Module1 &m = Module1::instance();
    db::Statement first = m.gDb.prepare(QStringLiteral("select F1,F2 from TA3 limit 1"));
    if (first.isValid() && first.next()) {
        txtLB_[0]->setText(first.text(0));
        txtLB_[1]->setText(first.text(1));
    } else {
        txtLB_[0]->setText(QStringLiteral("001"));
        txtLB_[1]->setText(QStringLiteral("其它货品"));
    }
    setPanel4(QStringLiteral("请选择Excel文件，输入工作表名，读入数据"));
    resize(760, 560);
}

void FromExcel::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    const auto addMenu = [this](const char *name, const char *caption, void (FromExcel::*slot)()) {
        QAction *action = menuBar_->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    addMenu("Menu_Run", "&S.导入新数据", &FromExcel::runImport);
    addMenu("Menu_del", "&D.删除行", &FromExcel::deleteRow);
    QAction *back = menuBar_->addAction(QStringLiteral("&B.备份系统数据"));
    back->setObjectName(QStringLiteral("Menu_back"));
    connect(back, &QAction::triggered, this, [this] { admin::showBackupWindow(this); });
    addMenu("Menu_help", "&H.使用说明", &FromExcel::showHelp);
    QAction *close = menuBar_->addAction(QStringLiteral("&R.返回系统主窗口"));
    close->setObjectName(QStringLiteral("Menu_R"));
    connect(close, &QAction::triggered, this, [this] {
        // Inside the main window's MDI area the frame is what closes.
        if (parentWidget() && parentWidget()->inherits("QMdiSubWindow"))
            parentWidget()->close();
        else
            QWidget::close();
    });
    layout->setMenuBar(menuBar_);

    auto *frame = new QGroupBox(this);
    auto *form = new QGridLayout(frame);
    txtFile_ = new QLineEdit(frame);
    txtFile_->setObjectName(QStringLiteral("TxtFile"));
    auto *open = new QPushButton(QStringLiteral("…"), frame);
    open->setObjectName(QStringLiteral("CmdOpen"));
    txtTab_ = new QLineEdit(frame);
    txtTab_->setObjectName(QStringLiteral("TxtTab"));
    auto *read = new QPushButton(QStringLiteral("读入数据"), frame);
    read->setObjectName(QStringLiteral("Cmdrst"));
    form->addWidget(new QLabel(QStringLiteral("Excel文件："), frame), 0, 0);
    form->addWidget(txtFile_, 0, 1, 1, 4);
    form->addWidget(open, 0, 5);
    form->addWidget(new QLabel(QStringLiteral("工作表名称："), frame), 0, 6);
    form->addWidget(txtTab_, 0, 7);
    form->addWidget(read, 0, 8);

    const char *const labels[12] = {"货品编码：", "货品名称：", "类别名称：", "单位：",     "规格型号：", "备注信息：",
                                    "成本价格：", "销售价格：", "类别编码：", "数量：", "最低库存：", "最高库存："};
    for (int i = 0; i < 12; ++i) {
        auto *combo = new QComboBox(frame);
        combo->setObjectName(QStringLiteral("CmbCol%1").arg(i));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        QLineEdit *edit = combo->lineEdit();
        // Column letters are upper case whatever is typed.
        connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
            const QString upper = text.toUpper();
            if (upper != text) {
                const int pos = edit->cursorPosition();
                edit->setText(upper);
                edit->setCursorPosition(pos);
            }
        });
        cmbCol_[i] = combo;
        const int row = 1 + i / 4;
        const int col = (i % 4) * 2;
        form->addWidget(new QLabel(QString::fromUtf8(labels[i]), frame), row, col);
        form->addWidget(combo, row, col + 1);
    }
    const char *const defaults[2] = {"默认类别编码", "默认类别名称"};
    for (int i = 0; i < 2; ++i) {
        txtLB_[i] = new QLineEdit(frame);
        txtLB_[i]->setObjectName(QStringLiteral("txtLB%1").arg(i));
        form->addWidget(new QLabel(QString::fromUtf8(defaults[i]), frame), 4, i * 4, 1, 1);
        form->addWidget(txtLB_[i], 4, i * 4 + 1, 1, 3);
    }
    layout->addWidget(frame);

    grid_ = new admin::SheetGrid(this);
    gd_ = new QTableView(this);
    gd_->setObjectName(QStringLiteral("GD"));
    gd_->setModel(grid_);
    gd_->setSelectionBehavior(QAbstractItemView::SelectRows);
    gd_->setSelectionMode(QAbstractItemView::SingleSelection);
    gd_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(gd_, 1);  // the grid takes the room below the frame

    connect(open, &QPushButton::clicked, this, &FromExcel::chooseFile);
    connect(read, &QPushButton::clicked, this, &FromExcel::readSheet);
}

void FromExcel::closeEvent(QCloseEvent *event)
{
    Module1::instance().ShowBookNameInStatusBar();
    event->accept();
}

void FromExcel::chooseFile()
{
    const QString path = FileDialogs::current().openFileName(
        this, QStringLiteral("请选择货品编码文件"), Module1::instance().gAppPath,
        QStringLiteral("Excel文件(*.xls);;所有文件(*.*)"));
    if (!path.isEmpty())
        txtFile_->setText(path);
}

void FromExcel::readSheet()
{
    if (txtFile_->text().isEmpty() || txtTab_->text().trimmed().isEmpty())
        return;
    WaitCursor wait;
    setPanel4(QStringLiteral("正在读入数据……"));
    admin::ExcelTable table;
    QString error;
    if (!admin::readExcelSheet(txtFile_->text(), txtTab_->text(), table, error)) {
        setPanel4(QStringLiteral("请检查工作表名称，重新读入数据"));
        Prompt::current().message(QString(), error, Prompt::Icon::None);
        return;
    }
    // One empty column more than the sheet has, lettered like the others.
    const int cols = int(table.fieldNames.size()) + 1;
    grid_->setRecords(std::move(table.records), cols);
    faults_ = std::move(table.faults);
    QStringList letters;
    for (int c = 0; c < cols && c < 26; ++c)
        letters << QString(QChar(u'A' + c));

    // The lists offer the letters of the grid's columns; what is typed stays.
    for (QComboBox *combo : cmbCol_) {
        const QString typed = combo->currentText();
        combo->clear();
        combo->addItems(letters);
        combo->setCurrentIndex(-1);
        combo->setEditText(typed);
    }
    const int width = gd_->viewport()->width();
    const int fields = cols - 1;
    const int each = fields > 10 ? width / 10 : width / std::max(1, fields) - 7;
    for (int c = 0; c < cols; ++c)
        gd_->setColumnWidth(c, std::max(each, 20));
    showCount();
}

void FromExcel::showCount()
{
    setPanel4(QStringLiteral("共有：%1行，%2列").arg(grid_->rows() - 1).arg(grid_->cols() - 1));
}

void FromExcel::deleteRow()
{
    if (grid_->textMatrix(0, 0).isEmpty() || grid_->rows() - 1 <= 1)
        return;
    if (!Prompt::current().ask(QString(), QStringLiteral("确实要删除选中的数据吗？"), Prompt::Icon::Question))
        return;
    const QModelIndex current = gd_->currentIndex();
    const int row = current.isValid() ? current.row() + 1 : 1;
    grid_->removeItem(row);
    if (row - 1 < faults_.size())
        faults_.remove(row - 1);
    showCount();
}

void FromExcel::showHelp()
{
    Prompt::current().message(QString(), QStringLiteral("打开帮助文件后，在左侧选择[从Excel文件中导入货品基础数据]。"),
                              Prompt::Icon::Information);
    Desktop::current().openUrl(QUrl::fromLocalFile(Module1::instance().gProgramPath + QStringLiteral("使用说明.chm")));
}

void FromExcel::runImport()
{
    if (Module1::instance().gUserCode != QLatin1String("001")) {
        Prompt::current().message(QString(), QStringLiteral("本操作仅系统最高权限用户001可以执行！"),
                                  Prompt::Icon::Exclamation);
        return;
    }
    importRows();
}

void FromExcel::importRows()
{
    Prompt &prompt = Prompt::current();
    if (grid_->textMatrix(0, 0).isEmpty()) {
        prompt.message(QString(), QStringLiteral("请选择Excel文件，填写工作表名称，读入数据，之后再执行导入！"),
                       Prompt::Icon::Information);
        return;
    }
    if (txtLB_[0]->text().trimmed().isEmpty() || txtLB_[1]->text().trimmed().isEmpty()) {
        prompt.message(QString(),
                       QStringLiteral("请输入默认的类列编码及名称，如果Excel数据中类别栏为空，则按默认类列处理。"),
                       Prompt::Icon::Information);
        return;
    }
    if (cmbCol_[0]->currentText().trimmed().isEmpty()) {
        prompt.message(QString(), QStringLiteral("必须指定哪一列为货品编码数据！"), Prompt::Icon::Information);
        return;
    }
    admin::GoodsImportSettings settings;
    QStringList texts;
    for (QComboBox *combo : cmbCol_)
        texts << combo->currentText();
    QString problem;
    if (!admin::parseGoodsColumns(texts, grid_->cols(), settings.columns, problem)) {
        prompt.message(QString(), problem, Prompt::Icon::Information);
        return;
    }
    if (!prompt.ask(QString(),
                    QStringLiteral("此操作危险！可能会改变系统内存在的部份信息。建议您先备份现有数据，再导入新数据！\n\n"
                                   "现在就开始导入新数据吗？"),
                    Prompt::Icon::Question))
        return;
    settings.defaultCategoryCode = txtLB_[0]->text();
    settings.defaultCategoryName = txtLB_[1]->text();

    // The grid's rows 1.. read in place: copied out as lists, a wide sheet
    // would take a text for every cell of every row.
    const admin::SheetGrid &grid = *grid_;
    const admin::ImportTable rows{grid.rows() - 1, grid.cols(),
                                  [&grid](int row, int col) { return grid.textMatrix(row + 1, col); }};
    admin::GoodsImportResult result;
    {
        WaitCursor wait;
        setPanel4(QStringLiteral("正在把数据导入到系统中……"));
        result = admin::importGoods(Module1::instance(), rows, settings, faults_);
    }
    if (!result.error.isEmpty()) {
        setPanel4(QStringLiteral("导入失败，请检查Excel文件格式及相关设置"));
        prompt.message(QString(),
                       QStringLiteral("导入数据失败！可能是外部Excel文件格式不正确，或您的设置有误！\n") + result.error,
                       Prompt::Icon::Information);
        return;
    }
    prompt.message(QString(), QStringLiteral("数据导入成功！"), Prompt::Icon::Information);
    setPanel4(QStringLiteral("数据已成功导入系统"));
    if (!result.skipped.isEmpty()) {
        QStringList lines;
        lines << QStringLiteral("以下%1行没有导入：").arg(result.skipped.size());
        for (const admin::SkippedRow &s : result.skipped)
            lines << QStringLiteral("第%1行：%2").arg(s.row).arg(s.reason);
        prompt.message(QString(), lines.join(QLatin1Char('\n')), Prompt::Icon::Exclamation);
    }
}
