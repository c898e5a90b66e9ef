#pragma once

#include "frames/MasterDataWindow.h"

// The supplier window (TA1).
class A1 final : public frames::MasterDataWindow {
    Q_OBJECT
public:
    explicit A1(QWidget *parent = nullptr);
};

// The receiving-unit window (TA2).
class A2 final : public frames::MasterDataWindow {
    Q_OBJECT
public:
    explicit A2(QWidget *parent = nullptr);
};

// The goods-category window (TA3).
class A3 final : public frames::MasterDataWindow {
    Q_OBJECT
public:
    explicit A3(QWidget *parent = nullptr);
};
