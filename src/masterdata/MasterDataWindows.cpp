#include "MasterDataWindows.h"

#include "masterdata/MasterDataKinds.h"

A1::A1(QWidget *parent) : MasterDataWindow(masterdata::supplierKind(), parent)
{
    initWindow();
}

A2::A2(QWidget *parent) : MasterDataWindow(masterdata::receivingUnitKind(), parent)
{
    initWindow();
}

A3::A3(QWidget *parent) : MasterDataWindow(masterdata::categoryKind(), parent)
{
    initWindow();
}
