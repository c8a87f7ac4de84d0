#pragma once

#include <QString>
#include <QWidget>
#include <string>

namespace qel {

class CQelBtn;
class CQelEquipmentDlg;
class ModeImage;

// The editor's account of whether the unit still holds what the screen shows, in the title
// strip: the writes that got no accepted reply, a unit known to differ, or a lost link. It
// offers "同步" (write the editor's settings into the unit, proven by reading them back) or,
// for a lost link, "重连" (connect again, read the unit into a scratch image, show where it
// differs and let the user choose which side wins). Hidden while there is nothing to say.
class CQelSyncBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kX = 560, kWidth = 220;  // in the title strip
    enum class State { Quiet, Unconfirmed, Differs, Lost };

    CQelSyncBar(CQelEquipmentDlg& editor, QWidget* parent);

    // Looks at the unit again (the editor's timer calls it).
    void refresh();
    State state() const { return state_; }
    QString text() const { return text_; }
    CQelBtn* button() const { return button_; }

    // The button's actions.
    void resync();
    void reconnect();

    // The verify's summary for a person: the unit could not be reached when it is empty.
    static QString failureText(const std::string& summary);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void present(State state, const QString& text, const QString& tip);
    // After a reconnect: the editor's and the unit's records compared, and the user's choice.
    void settleDifferences(const ModeImage& read);

    CQelEquipmentDlg& editor_;
    CQelBtn* button_ = nullptr;
    State state_ = State::Quiet;
    QString text_;
    bool acting_ = false;  // a resync or reconnect runs; refresh leaves the bar alone
};

}  // namespace qel
