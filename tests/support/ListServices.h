#pragma once

#include "platform/FileDialogs.h"
#include "shell/ModalDialogs.h"
#include "shell/Prnt.h"
#include "shell/Query.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

// The query dialog and the print host as a list window's tests meet them.
struct ListServices {
    ScriptedDialogRunner dialogs;

    ~ListServices() { delete Prnt::loaded(); }

    // The operator's answer to the next query dialog: one condition, then 查找.
    // startField receives the field the dialog opened on.
    void answerQuery(int field, int relation, const QString &value, int *startField = nullptr)
    {
        dialogs.handle(QStringLiteral("Query"), [=](QDialog &d) {
            auto &query = static_cast<Query &>(d);
            if (startField)
                *startField = query.CmbF->currentIndex();
            query.CmbF->setCurrentIndex(field);
            query.CmbGX->setCurrentIndex(relation);
            query.Txt->setText(value);
            query.addCondition();
            query.finishQuery();
            return query.result();
        });
    }
    void cancelQuery()
    {
        dialogs.handle(QStringLiteral("Query"), [](QDialog &d) {
            static_cast<Query &>(d).cancelQuery();
            return int(QDialog::Rejected);
        });
    }

    // Puts the template that lies beside the program into the test's program folder.
    static void provideTemplate(const QString &folder, const QString &name)
    {
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("WAREHOUSE_APP_DIR") + QLatin1Char('/') + name,
                                folder + QLatin1Char('/') + name))
            << name.toStdString();
    }

    // The operator exports the report on show through the preview's button
    // ("ExportXlsx" or "ExportPdf"), naming path in the save dialog.
    static void exportShownReport(ScriptedFileDialogs &fileDialogs, const char *button, const QString &path)
    {
        Prnt *host = Prnt::loaded();
        ASSERT_NE(host, nullptr);
        ASSERT_NE(host->Cry->previewWidget(), nullptr);
        fileDialogs.answer(path);
        host->Cry->previewWidget()->findChild<QToolButton *>(QString::fromLatin1(button))->click();
    }

    // The report on show in the print host; nullptr when none.
    static const report::FilledReport *shownReport()
    {
        Prnt *host = Prnt::loaded();
        return host ? host->Cry->filledReport() : nullptr;
    }
};
