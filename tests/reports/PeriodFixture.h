#pragma once

#include "support/TestBook.h"

#include <QDateTime>
#include <gtest/gtest.h>

// A small book for the period reports: fiscal year from 2026-01-01, today
// 2026-03-09, five goods and notes of every kind around the period's edges.
struct PeriodFixture : ::testing::Test {
    TestBook book;

    PeriodFixture()
    {
        setToday(QDate(2026, 3, 9));
        // code, name, spec, unit, cost, on hand, opening qty, opening price
        book.exec("insert into TA4 (F1,F2,F5,F4,F7,F8,V3,V4,F3) values "
                  "('G1','螺钉','M3','盒',2.5,12,10,2,'001'),"
                  "('G2','螺母',null,'个',null,5,null,null,null),"
                  "('G3','垫片','D5','片',1,0,0,1,null),"
                  "('G4','弹簧','S1','只',3,2,0,3,null),"
                  "('G5','铆钉','R2','只',3,7,10,3,null)");
        note("TB1", "RK1", "2026-01-01", "张三", {{"G1", 5, 3}});     // on the period start
        note("TB1", "RK2", "2026-03-09", "张三", {{"G1", 1, 1.5}});   // today
        note("TB1", "RK3", "2026-03-10", "张三", {{"G1", 100, 1}});   // tomorrow
        note("TB1", "RK4", "2025-12-31", "张三", {{"G1", 100, 1}});   // before the period
        note("TB1", "RK5", "2026-02-01", "", {{"G1", 100, 1}});       // audit cancelled
        note("TB1", "RK6", "2026-02-01", nullptr, {{"G1", 100, 1}});  // never audited
        note("TD3", "TK1", "2026-02-02", "张三", {{"G1", 1, 2}});
        note("TD1", "CK1", "2026-02-03", "张三", {{"G1", 4, 4}});
        note("TB3", "TH1", "2026-02-04", "张三", {{"G2", 3, 1.25}});
        note("TB1", "RK7", "2026-02-06", "张三", {{"G3", 2, 1}});     // G3: in, but nothing left
        book.exec("insert into TC2 (F1,F2,F6) values ('PD1','2026-02-05','张三')");
        book.exec("insert into TC21 (F0,F1,F5,F6,F7) values ('PD1','G4',10,12,3),('PD1','G5',10,7,3)");
        book.m().LoadPeriodStart();
    }

    void setToday(const QDate &day)
    {
        book.m().setClock([day] { return QDateTime(day, QTime(10, 0)); });
    }

    struct Line {
        const char *goods;
        double qty, price;
    };
    void note(const char *head, const char *no, const char *date, const char *auditor, QVector<Line> lines)
    {
        const QString h = QString::fromLatin1(head);
        book.exec("insert into " + h + " (F1,F2,F6) values (?,?,?)",
                  {QString::fromLatin1(no), QString::fromLatin1(date),
                   auditor ? QVariant(QString::fromUtf8(auditor)) : QVariant()});
        for (const Line &l : lines)
            book.exec("insert into " + h + "1 (F0,F1,F6,F7) values (?,?,?,?)",
                      {QString::fromLatin1(no), QString::fromLatin1(l.goods), l.qty, l.price});
    }
};
