#pragma once

#include "support/TestBook.h"
#include "documents/DocumentKind.h"
#include "documents/DocumentService.h"
#include "platform/report/ReportEngine.h"
#include "shell/Prnt.h"

#include <QDateTime>
#include <QFile>
#include <initializer_list>
#include <gtest/gtest.h>

// A book with a fixed clock (2026-12-09 10:00) and helpers for goods and notes.
class DocumentBook : public ::testing::Test {
protected:
    DocumentBook()
    {
        book.m().setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); });
    }

    Module1 &m() { return book.m(); }

    void addGoods(const QString &code, const QVariant &quantity, const QVariant &cost, const QVariant &sale = {},
                  const QVariant &name = QStringLiteral("货品"), const QVariant &spec = QStringLiteral("规格"),
                  const QString &unit = QStringLiteral("个"))
    {
        book.exec(QStringLiteral("insert into TA4 (F1,F2,F4,F5,F7,F71,F8) values (?,?,?,?,?,?,?)"),
                  {code, name, unit, spec, cost, sale, quantity});
    }

    // A stored unaudited note of the kind with lines (code, quantity, price).
    void addNote(const documents::DocumentKind &kind, const QString &number, const QString &date,
                 const QList<std::tuple<QString, double, double>> &lines, const QString &stamp = QStringLiteral("2026-12-01 08:00:00"))
    {
        book.exec(QStringLiteral("insert into %1 (H8,F1,F2,F3,F5,F9,F10) values (?,?,?,'001','录入',0,'')").arg(kind.headerTable),
                  {stamp, number, date});
        for (const auto &[code, q, p] : lines)
            book.exec(QStringLiteral("insert into %1 (F0,F1,F6,F7,F8) values (?,?,?,?,'')").arg(kind.lineTable),
                      {number, code, q, p});
    }

    double goods(const QString &field, const QString &code)
    {
        return book.number(QStringLiteral("select %1 from TA4 where F1=?").arg(field), {code});
    }

    // Copies report templates from the program folder beside the book.
    void copyTemplates(std::initializer_list<const char *> files)
    {
        for (const char *file : files)
            ASSERT_TRUE(QFile::copy(qEnvironmentVariable("WAREHOUSE_APP_DIR") + "/" + file,
                                    book.dir() + "/" + QString::fromLatin1(file)));
    }

    // The report the print host shows; nullptr when no host is loaded.
    static const report::FilledReport *shown()
    {
        Prnt *host = Prnt::loaded();
        return host ? host->Cry->filledReport() : nullptr;
    }

    TestBook book;
    const documents::DocumentKind &B1 = documents::stockInNoteKind();
    const documents::DocumentKind &B3 = documents::supplierReturnNoteKind();
};
