#pragma once

#include <QString>

// The main window's four status panels as the shared procedures see them.
class StatusPanels {
public:
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;  // panel 1..4
    virtual QString panelText(int panel) const = 0;
};

// Panels kept in memory: used until the main window exists, and by tests.
class MemoryStatusPanels : public StatusPanels {
public:
    void setPanelText(int panel, const QString &text) override
    {
        if (panel >= 1 && panel <= 4)
            texts_[panel - 1] = text;
    }
    QString panelText(int panel) const override
    {
        return panel >= 1 && panel <= 4 ? texts_[panel - 1] : QString();
    }

private:
    QString texts_[4];
};
