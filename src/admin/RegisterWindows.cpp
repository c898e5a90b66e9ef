// Registers the administration windows: operators and options, account books
// with backup and restore, data clearing and the Excel import.
void registerOperatorWindows();
void registerBookWindows();
void registerDataWindows();

void register_admin_windows()
{
    registerOperatorWindows();
    registerBookWindows();
    registerDataWindows();
}
