// Registers the report windows: document statistics, the goods journal, and
// the period reports with the year-end.
void registerStatisticsWindows();
void registerJournalWindows();
void registerPeriodReportWindows();

void register_reports_windows()
{
    registerStatisticsWindows();
    registerJournalWindows();
    registerPeriodReportWindows();
}
