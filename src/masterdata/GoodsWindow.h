#pragma once

#include "masterdata/GoodsStore.h"
#include "frames/MasterDataWindow.h"

class QComboBox;

// The goods window: the master-data window with the goods list (joined with
// the categories), a card of twelve boxes, category and unit combos, the
// stock box, the price coupling and the goods picture.
class A4 final : public frames::MasterDataWindow {
    Q_OBJECT
public:
    explicit A4(QWidget *parent = nullptr);
    // The goods window over the list columns given (the window, its print and
    // its card follow the description).
    explicit A4(const frames::ListColumns &columns, QWidget *parent = nullptr);

    // The picture the card holds; empty for none.
    QString picturePath() const { return picturePath_; }

    // The hint shown (and stored) while the card holds no picture.
    static inline const QString kPictureHint = QStringLiteral("双击此处导入图片");
    static inline const QString kNoPicture = QStringLiteral("无图片");

protected:
    void fillListGrid(const QString &sql) override;
    void fillCard() override;
    void setBrowseMode() override;
    void setEditMode() override;
    void addRecord() override;
    void editRecord() override;
    void saveRecord() override;
    void setColumnWidths() override;
    QVector<int> printColumns() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildCard();
    void applyPriceRules();
    void fillCombos();
    bool priceShown() const;
    void syncSalePrice();
    void importPicture();
    void clearPicture();
    bool showPicture(const QString &path);
    void fillCardFromBook(const masterdata::GoodsRecord &record);
    void setStockBox(const QString &caption, bool shown);
    QList<QLineEdit *> openingBoxes() const;
    void setOpeningBoxes(bool shown);
    QList<QLineEdit *> lockableBoxes() const;
    bool mayEditStock() const;
    bool mayEditOpening() const;
    QStringList savedListRow(const QString &code, const QString &costText) const;
    void showCategory(const QString &code);

    masterdata::GoodsStore goods_;
    // List columns by their field.
    const int priceColumn_;
    const int saleColumn_;
    const int categoryCodeColumn_;
    QString picturePath_;
    // Texts of the number boxes as an edit started, to tell what the operator changed.
    QString loadedCost_, loadedSale_, loadedStock_, loadedOpeningQuantity_, loadedOpeningPrice_;

    QComboBox *CmbLB = nullptr;
    QComboBox *CmbDW = nullptr;
    QLabel *LabSL = nullptr;
    QLineEdit *TxtSL = nullptr;
    QLabel *LabPrice = nullptr;
    QLabel *Img = nullptr;
    QLabel *LabInfo = nullptr;
};
