// Not built yet: the shell placeholders stay in place.
void registerDataWindows()
{
}
