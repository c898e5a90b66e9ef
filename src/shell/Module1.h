#pragma once

#include "db/Database.h"
#include "shell/StatusPanels.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

// The account-book chooser's two lists: display names and file paths, same order.
struct BookList {
    QStringList names;
    QStringList paths;
    int selected = 0;
};

// The shared module: public variables that live for the whole run and the
// shared procedures every window calls. One instance in the running program
// (Module1::instance()); tests make their own on a temporary book.
class Module1 {
public:
    Module1();
    ~Module1();

    static Module1 &instance();
    static void setInstance(Module1 *module);  // tests; nullptr restores the program's

    // The text GetSingleValue returns when the query yields no row.
    static inline const QString NoFound = QStringLiteral("NoFound");

    // ---- public variables ----
    QString gVersion = QStringLiteral("9.69");
    QString gAppPath;       // the user's data folder, ending in "/": books, book list, backups
    QString gProgramPath;   // program folder, ending in "/": templates, tips, pictures (read-only)
    QString gBookFile;      // full path of the open book
    QString gBookName;      // display name of the open book
    db::Database gDb;       // the open account book
    QString gUserCode;
    QString gUserName;
    bool gMayViewCost = true;
    QDate gPeriodStart;     // lock date: the first day audits may touch

    // System options (loaded from sysinfo at login).
    int gOptNoOverdraw = 0;
    int gOptLockLinePrice = 0;
    int gOptNoAverageCostUpdate = 0;
    int gOptAbsoluteQuantities = 0;
    float gOptSalePriceFactor = 0;
    int gOptKeepPrices = 1;
    int gOptAlarmLowAtStart = 0;
    int gOptAlarmHighAtStart = 0;
    int gOptAdminEditsStock = 0;
    int gOptMoneyDecimals = 2;
    int gOptAdminEditsOpening = 0;
    QString gMoneyFormat = QStringLiteral("#0.00");

    int gAutoCreateReceivingUnit = 1;
    int gUsePdan10Layout = 0;

    // Puts every variable above back to its start value (the book stays open).
    void ResetToDefaults();
    // Puts the system options and gMoneyFormat back to their defaults.
    void ResetOptionsToDefaults();

    // ---- shared lookups and number texts ----

    // First field of the first row of sql on the open book: NoFound when no
    // row, "" when the field is Null or anything fails. Values are bound.
    QString GetSingleValue(const QString &sql, const QVariantList &params = {});
    // Puts the row ('001', name) into table when its first row is missing or has no code.
    // Returns false (error in gDb.lastError()) when the insert fails.
    bool EnsureDefaultRow(const QString &table, const QString &name);
    void ShowBookNameInStatusBar();
    void ShowLoadingInStatusBar();
    // "#0" for digits <= 0, else "#0." + digits zeros; digits above 8 are set to 8.
    static QString MakeDecimalFormat(int &digits);
    static QString NumToText(double value);
    // a - b without floating noise in the fraction (10.3 - 0.1 gives 10.2).
    static double SubtractExact(double a, double b);
    // Name of the party whose code starts text (up to a "."): supplier, else
    // receiving unit, else the code itself.
    QString GetPartnerName(const QString &code);

    // ---- document numbers ----
    // Proposes the next free number of this month: prefix + yymmdd + 4-digit serial,
    // or "请录入单据号" when the month's serials are used up.
    QString NextDocNo(const QString &prefix, const QString &table);
    bool IsDocNoFree(QString &docNo);              // trims docNo in place
    void ReserveDocNo(QString &docNo, int flag);   // trims docNo in place
    void ReleaseDocNo(const QString &docNo);
    static inline const QString EnterDocNoText = QStringLiteral("请录入单据号");

    // ---- stock check, lock date, notices ----
    bool CheckStockEnough(const QString &code, double qty, const QString &docNo);
    void LoadPeriodStart();
    void ShowSavedNotAuditedNotice();
    void WarnEditInProgress();

    // ---- options ----
    // Loads the open book's options over their defaults, so an option without
    // a row has its default, never the value of a book used before.
    void LoadSysSettings();

    // ---- account-book list and automatic backup ----
    BookList bookList;  // what the chooser shows
    // Reads dbsetup.dat into bookList; true = show the chooser, false = the
    // first listed book is in gBookFile / gBookName.
    bool LoadBookList();
    // Opens path as gDb when it is an account book; else gDb stays closed and
    // the reason (the engine's text, or that the book's tables are missing)
    // is returned.
    // A book that can only be read says so at once, not at its first save.
    QString OpenBookFile(const QString &path);
    void TellReadOnlyBook(const QString &path);
    void AutoBackupBook();
    // Removes the program's own temporary files that interrupted writes left
    // beside the open book and in "数据备份", once no one can still be
    // writing them (see db::leftoversIn); nothing else.
    void RemoveBookLeftovers();
    // True when path lies on a network file system (nfs, cifs/smb, sshfs, ...).
    static bool IsOnNetworkFileSystem(const QString &path);

    // ---- clock ----
    // Today's date and time; tests set their own clock.
    QDateTime Now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }
    QDate Today() const { return Now().date(); }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Formats a price or amount with gMoneyFormat.
    QString money(double value) const;

    // ---- status bar ----
    void setStatusPanels(StatusPanels *panels);  // nullptr: the in-memory panels
    StatusPanels &statusPanels() { return *statusPanels_; }

private:
    std::function<QDateTime()> clock_;
    MemoryStatusPanels memoryPanels_;
    StatusPanels *statusPanels_ = &memoryPanels_;
};
