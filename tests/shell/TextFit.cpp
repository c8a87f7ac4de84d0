// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QToolButton>

#include "controls/QelBtn.h"
#include "controls/QelCheckBtn.h"
#include "controls/QelStatic.h"
#include "controls/QelTStatic.h"
#include "controls/QelTitle.h"
#include "shell/MyStatusBar.h"
#include "shell/QelEqMgr.h"
#include "shell/QuellmarApp.h"

namespace qel::test {

namespace {

// The window's name and the named widgets from the window down to w.
QString placeOf(QWidget* window, QWidget* w) {
    QStringList path;
    for (QWidget* a = w; a && a != window; a = a->parentWidget())
        if (!a->objectName().isEmpty()) path.prepend(a->objectName());
    if (path.isEmpty() || w->objectName().isEmpty()) path << w->metaObject()->className();
    const QString name =
        window->objectName().isEmpty() ? window->windowTitle() : window->objectName();
    return name + " > " + path.join('/');
}

QString withoutTrailingSpace(QString text) {
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    return text;
}

// Where the text lands: single lines are as wide as their advance, wrapped text as its
// layout.
QRect textRect(const QFontMetrics& m, QRect room, int flags, QString text) {
    if (flags & Qt::TextWordWrap) return m.boundingRect(room, flags, text);
    if (flags & Qt::TextShowMnemonic)
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove('&').replace('\x01', '&');
    int width = 0;
    for (const QString& line : text.split('\n')) width = std::max(width, m.horizontalAdvance(line));
    const auto along = static_cast<Qt::Alignment>(flags) & Qt::AlignHorizontal_Mask;
    const auto across = static_cast<Qt::Alignment>(flags) & Qt::AlignVertical_Mask;
    const int height = std::min(room.height(), m.height() * static_cast<int>(text.count('\n') + 1));
    return QStyle::alignedRect(Qt::LeftToRight,
                               (along ? along : Qt::AlignLeft) | (across ? across : Qt::AlignTop),
                               QSize(width, height), room);
}

QRect labelRoom(const QLabel* l) {
    QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const int indent = l->indent() >= 0      ? l->indent()
                       : l->frameWidth() > 0 ? l->fontMetrics().horizontalAdvance('x') / 2
                                             : 0;
    if (l->alignment() & Qt::AlignLeft) room.setLeft(room.left() + indent);
    if (l->alignment() & Qt::AlignRight) room.setRight(room.right() - indent);
    return room;
}

QRect lineEditRoom(const QLineEdit* e) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    constexpr int kHorizontalMargin = 2;  // what QLineEdit keeps inside its contents
    return contents.marginsRemoved(e->textMargins())
        .adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
}

}  // namespace

void TextFit::check(QWidget* window) {
    window_ = window;
    look(window);
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window)) look(w);
}

void TextFit::look(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull()) return;
        const bool rich = l->textFormat() == Qt::RichText ||
                          (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
        const QString text =
            rich ? QTextDocumentFragment::fromHtml(l->text()).toPlainText() : l->text();
        int flags = static_cast<int>(l->alignment());
        if (l->wordWrap()) flags |= Qt::TextWordWrap;
        if (l->buddy()) flags |= Qt::TextShowMnemonic;
        fits(w, text, l->font(), labelRoom(l), flags);
    } else if (qobject_cast<QAbstractButton*>(w)) {
        lookAtButton(w);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.textAlignment = g->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label =
            g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        fits(w, g->title(), g->font(), label, Qt::AlignLeft | Qt::TextShowMnemonic);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        fits(w, e->displayText(), e->font(), lineEditRoom(e), static_cast<int>(e->alignment()));
    } else {
        lookAtLists(w);
        lookAtCells(w);
        lookAtCombo(w);
        lookAtPainted(w);
    }
}

void TextFit::lookAtButton(QWidget* w) {
    auto* b = static_cast<QAbstractButton*>(w);
    auto* tool = qobject_cast<QToolButton*>(w);
    if (b->text().isEmpty() || (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)) return;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    auto element = QStyle::SE_PushButtonContents;
    int flags = Qt::AlignCenter;
    if (qobject_cast<QRadioButton*>(w)) {
        element = QStyle::SE_RadioButtonContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (qobject_cast<QCheckBox*>(w)) {
        element = QStyle::SE_CheckBoxContents;
        flags = Qt::AlignLeft | Qt::AlignVCenter;
    } else if (auto* p = qobject_cast<QPushButton*>(w)) {
        if (p->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
        if (p->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
    }
    QRect room = b->style()->subElementRect(element, &opt, b);
    if (!opt.icon.isNull()) room.setLeft(room.left() + opt.iconSize.width() + 4);
    fits(w, b->text(), b->font(), room, flags | Qt::TextShowMnemonic);
}

// Header sections of list and table views.
void TextFit::lookAtLists(QWidget* w) {
    auto* header = qobject_cast<QHeaderView*>(w);
    if (!header || !header->model()) return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int i = 0; i < header->count(); ++i) {
        if (header->isSectionHidden(i)) continue;
        const QString text = header->model()->headerData(i, header->orientation()).toString();
        const QRect section(header->sectionViewportPosition(i), 0, header->sectionSize(i),
                            header->height());
        fits(header->viewport(), text, header->font(), section.adjusted(margin, 0, -margin, 0),
             static_cast<int>(header->defaultAlignment()), QString::number(i));
    }
}

// The texts of a table's cells in view (whole rows; those scrolled away are not cut).
void TextFit::lookAtCells(QWidget* w) {
    auto* table = qobject_cast<QTableView*>(w);
    if (!table || !table->model()) return;
    QWidget* view = table->viewport();
    // What QCommonStyle keeps on either side of an item's text.
    const int margin =
        table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const QAbstractItemModel* model = table->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const QRect cell = table->visualRect(index);
            if (cell.top() < 0 || cell.bottom() > view->height() || table->isColumnHidden(column))
                continue;
            const QVariant align = model->data(index, Qt::TextAlignmentRole);
            fits(view, model->data(index).toString(), table->font(),
                 cell.adjusted(margin, 0, -margin, 0),
                 align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter),
                 QStringLiteral("%1,%2").arg(row).arg(column));
        }
    }
}

void TextFit::lookAtCombo(QWidget* w) {
    auto* box = qobject_cast<QComboBox*>(w);
    if (!box || box->isEditable()) return;
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = false;
    opt.currentText = box->currentText();
    const QRect field =
        box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
    fits(w, box->currentText(), box->font(), field, Qt::AlignLeft | Qt::AlignVCenter);
}

// The program's own controls, which paint their texts themselves.
void TextFit::lookAtPainted(QWidget* w) {
    const int top = Qt::AlignHCenter | Qt::AlignTop;
    const int margin = CQelSkinButton::kTextMargin;
    const QRect inSkin = w->rect().adjusted(margin, 0, -margin, 0);
    const int line = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    if (auto* b = qobject_cast<CQelBtn*>(w)) {
        fits(w, b->text(), b->textFont(b->text()), inSkin, top);
    } else if (auto* c = qobject_cast<CQelCheckBtn*>(w)) {
        fits(w, c->text(), c->textFont(c->text()), inSkin, top);
        if (c->usesAlternateText())
            fits(w, c->alternateText(), c->textFont(c->alternateText()), inSkin, top);
    } else if (auto* s = qobject_cast<CQelStatic*>(w)) {
        fits(w, s->text(), w->font(), w->rect(), qtTextFlags(s->format()));
    } else if (auto* t = qobject_cast<CQelTStatic*>(w)) {
        fits(w, t->text(), w->font(), w->rect(), top);
    } else if (auto* bar = qobject_cast<CMyStatusBar*>(w)) {
        for (int i = 0; i < bar->paneCount(); ++i)
            fits(w, bar->paneText(i), w->font(), bar->textRect(i), line, QString::number(i));
    } else if (auto* strip = qobject_cast<CQelTitle*>(w)) {
        for (int i = 0; i < strip->tabCount(); ++i) {
            const QRect r = strip->tabRect(i);
            fits(w, strip->tabText(i), w->font(), QRect(r.x() + 8, 8, r.width() - 14, 24), top);
        }
        for (int i = 0; i < strip->channelCount(); ++i)
            fits(w, strip->channelLabel(i), w->font(),
                 QRect(strip->channelRect(i).x() + 8, 8, 32, 24), top);
    } else if (auto* list = qobject_cast<CQelEqMgr*>(w)) {
        const auto units = list->list().snapshot();
        for (int i = 0; i < static_cast<int>(units.size()); ++i) {
            const QRect r = CQelEqMgr::rowRect(i, list->width());
            const int right = r.x() + r.width() - 6;
            const QString row = QString::number(i + 1);
            fits(w, CQelEqMgr::firstLine(*units[i]), CQelEqMgr::listFont(),
                 QRect(QPoint(36, r.top() + 6), QPoint(right - 1, r.top() + 21)), line, row, true);
            fits(w, CQelEqMgr::secondLine(*units[i]), CQelEqMgr::listFont(),
                 QRect(QPoint(36, r.top() + 24), QPoint(right - 1, r.top() + 39)), line, row, true);
        }
    }
}

void TextFit::fits(QWidget* w, const QString& shownText, const QFont& font, QRect room, int flags,
                   const QString& part, bool elided) {
    const QString text = withoutTrailingSpace(shownText);
    if (text.isEmpty()) return;
    const QRect need = textRect(QFontMetrics(font), room, flags, text);
    const QRect show = shown(w, room);
    bool cut = need.left() < show.left() || need.right() > show.right();
    if (flags & Qt::TextWordWrap)
        cut = cut || need.top() < show.top() || need.bottom() > show.bottom();
    const bool ellipsis =
        elided && QFontMetrics(font).elidedText(text, Qt::ElideRight, room.width()) != text;
    const QWidget* cover = coveredBy(w, need & show);
    if (!cut && !ellipsis && !cover) return;
    QString where = placeOf(window_, w);
    if (!part.isEmpty()) where += '[' + part + ']';
    QString report = QStringLiteral("%1: \"%2\" needs %3 px, shows %4")
                         .arg(where, text)
                         .arg(need.width())
                         .arg(show.width());
    if (ellipsis) report += QStringLiteral(", ends in an ellipsis");
    if (cover) report += QStringLiteral(", under ") + placeOf(window_, const_cast<QWidget*>(cover));
    if (!cuts_.contains(report)) cuts_ << report;
}

// A widget stacked above the text: a child of w, which paints over what w paints, or a later
// sibling of w or of one of its parents; or none. area is in w's coordinates.
const QWidget* TextFit::coveredBy(QWidget* w, QRect area) const {
    if (area.isEmpty()) return nullptr;
    const QRect inWindow = area.translated(w->mapTo(window_, QPoint(0, 0)));
    const auto covers = [&](QObject* o) {
        auto* s = qobject_cast<QWidget*>(o);
        return s && !s->isWindow() && s->isVisibleTo(window_) &&
               QRect(s->mapTo(window_, QPoint(0, 0)), s->size()).intersects(inWindow);
    };
    for (QObject* child : w->children())
        if (covers(child)) return static_cast<QWidget*>(child);
    for (QWidget* a = w; a != window_; a = a->parentWidget()) {
        const QObjectList& siblings = a->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(a) + 1; i < siblings.size(); ++i)
            if (covers(siblings[i])) return static_cast<QWidget*>(siblings[i]);
    }
    return nullptr;
}

// The part of room (in w's coordinates) that w and its parents up to the window show.
QRect TextFit::shown(QWidget* w, QRect room) const {
    const QPoint offset = w->mapTo(window_, QPoint(0, 0));
    QRect visible = (room & w->rect()).translated(offset);
    for (QWidget* a = w; a != window_ && visible.isValid();) {
        a = a->parentWidget();
        visible &= QRect(a->mapTo(window_, QPoint(0, 0)), a->size());
    }
    return visible.isValid() ? visible.translated(-offset) : QRect(room.left(), room.top(), 0, 0);
}

}  // namespace qel::test
