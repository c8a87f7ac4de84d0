// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

#include "controls/TitleLinks.h"

namespace qel {

// The editor's tab strip, 24 pixels high across the top of its parent. Tabs of the channel
// kinds show one button per channel after the tabs, with a link icon each, and bind
// channels into coloured link groups. Callback (owner, tab id, value, link mask):
// - another tab pressed: value = its selected channel + 1, mask = its current link mask;
// - another channel pressed: value = channel + 1, mask = its link members with itself;
// - a link icon changed a group: value and mask as TitleLinks::Report.
// GUI thread only.
class CQelTitle : public QWidget {
    Q_OBJECT

public:
    enum TabKind { kPlain = 0, kInputChannels = 1, kOutputChannels = 2 };
    using Callback = std::function<void(QObject* owner, int tabId, int value, int linkMask)>;

    explicit CQelTitle(QWidget* parent = nullptr);

    void setCallback(QObject* owner, Callback callback);
    void addTab(const QString& text, int kind, int tabId);
    // Makes a tab current without reporting it (the owner switched pages itself).
    void selectTab(int tab);
    void setChannelCounts(int inputs, int outputs);

    int tabCount() const { return static_cast<int>(tabs_.size()); }
    int currentTab() const { return current_; }
    int tabId(int tab) const { return tabs_.at(tab).id; }
    QString tabText(int tab) const { return tabs_.at(tab).text; }
    int selectedChannel(int tab) const { return tabs_.at(tab).selected; }
    const TitleLinks& links(int tab) const { return tabs_.at(tab).links; }
    int hoverTab() const { return hoverTab_; }
    int hoverChannel() const { return hoverChannel_; }

    // Layout of the current state, in widget coordinates.
    QRect tabRect(int tab) const;
    int channelCount() const;  // buttons shown for the current tab, 0 on a plain tab
    QRect channelRect(int channel) const;
    QRect linkIconRect(int channel) const;
    QString channelLabel(int channel) const;
    static QColor groupColour(int group);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Tab {
        QString text;
        int id = 0;
        int kind = kPlain;
        int selected = 0;
        TitleLinks links;
    };

    int tabWidth(int tab) const;
    int tabAt(QPoint pos) const;
    int channelAt(QPoint pos) const;
    bool inLinkZone(int channel, QPoint pos) const;
    void pressTab(int tab);
    void pressChannel(int channel, QPoint pos);
    void pressLink(int channel);
    void report(int value, int mask);
    void paintTab(QPainter& p, int tab);
    void paintChannel(QPainter& p, int channel);

    QObject* owner_ = nullptr;
    Callback callback_;
    std::vector<Tab> tabs_;
    int current_ = 0;
    int hoverTab_ = -1;
    int hoverChannel_ = -1;
    int inputs_ = 0;
    int outputs_ = 0;
    QPixmap skin_;
};

}  // namespace qel
