#pragma once

#include "DocumentFixture.h"

#include "documents/DocumentWindow.h"
#include "shell/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

void register_documents_windows();

// A book with a document window opened by its registry name, shown and
// active, and the steps that drive it.
class DocumentWindowBook : public DocumentBook {
protected:
    documents::DocumentWindow *open(const QString &name)
    {
        register_documents_windows();
        window.reset(qobject_cast<documents::DocumentWindow *>(windows::create(name, nullptr)));
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->resize(900, 600);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window.get();
    }

    template <typename T = QLineEdit>
    T *child(const QString &name)
    {
        T *w = window->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void trigger(const QString &action) { child<QAction>(action)->trigger(); }
    QString cell(int r, int c) { return window->lineGrid().textMatrix(r, c); }
    QString panel4() { return m().statusPanels().panelText(4); }

    // Types a line into the entry strip and submits it with the button.
    void enterLine(const QString &code, const QString &quantity)
    {
        auto *codeBox = child(QStringLiteral("TxtHPBM"));
        codeBox->setFocus();
        codeBox->clear();
        QTest::keyClicks(codeBox, code);
        child(QStringLiteral("TxtSL"))->setText(quantity);
        child<QPushButton>(QStringLiteral("CmdEnter"))->click();
    }

    // Types text into the open cell box and presses Enter.
    void typeInCell(const QString &text)
    {
        auto *box = child(QStringLiteral("TxtEnter"));
        ASSERT_TRUE(box->isVisible());
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // The line cell the in-cell box edits; {-1, -1} when the box is closed.
    std::pair<int, int> openCell()
    {
        if (!child(QStringLiteral("TxtEnter"))->isVisible())
            return {-1, -1};
        return {window->lineRow(), window->lineCol()};
    }

    std::unique_ptr<documents::DocumentWindow> window;
};
