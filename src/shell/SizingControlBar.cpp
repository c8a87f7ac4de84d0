// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/SizingControlBar.h"

#include <qdrawutil.h>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace qel {

namespace {
const QColor kBackground(238, 238, 238);
constexpr int kEdgeOrder[] = {CSizingControlBar::EdgeLeft, CSizingControlBar::EdgeTop,
                              CSizingControlBar::EdgeRight, CSizingControlBar::EdgeBottom};

// The docking layout gives a title bar the height of its size hint: the strip's own height,
// so that the content starts below it instead of over its lower edge.
class TitleStrip : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override {
        return {QWidget::sizeHint().width(), CSizingControlBar::kTitleHeight};
    }
};
}  // namespace

// The dock widget's content: carries the bar's size to the docking layout and hands its
// painting and mouse work to the bar.
class CSizingControlBar::Client : public QWidget {
public:
    explicit Client(CSizingControlBar* bar) : QWidget(bar), bar_(bar) { setMouseTracking(true); }
    QSize sizeHint() const override { return bar_->sizeHint() - bar_->chromeSize(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        bar_->paintClient(painter);
    }
    void resizeEvent(QResizeEvent*) override { bar_->layoutChild(); }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton)
            bar_->pressClient(mapTo(bar_, e->position().toPoint()), e->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        bar_->dragClient(mapTo(bar_, e->position().toPoint()), e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) bar_->dragEdge_ = 0;
    }

private:
    CSizingControlBar* bar_;
};

CSizingControlBar::CSizingControlBar(const QString& title, int controlId, QWidget* parent)
    : QDockWidget(title, parent), controlId_(controlId) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);
    setTitleBarWidget(makeTitleStrip());
    client_ = new Client(this);
    setWidget(client_);
    connect(this, &QDockWidget::dockLocationChanged, this, [this] { placeChanged(); });
    connect(this, &QDockWidget::topLevelChanged, this, [this] { placeChanged(); });
    connect(this, &QDockWidget::visibilityChanged, this, [this] { updateEdges(); });
    applyLimits();
}

CSizingControlBar::~CSizingControlBar() = default;

QWidget* CSizingControlBar::makeTitleStrip() {
    auto* strip = new TitleStrip(this);
    strip->setFixedHeight(kTitleHeight);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 0, 2, 0);
    row->setSpacing(1);
    auto* label = new QLabel(windowTitle(), strip);
    connect(this, &QWidget::windowTitleChanged, label, &QLabel::setText);
    row->addWidget(label, 1);
    auto addButton = [&](QStyle::StandardPixmap icon, const char* name) {
        auto* button = new QToolButton(strip);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(style()->standardIcon(icon));
        button->setIconSize(QSize(10, 10));
        button->setFixedSize(16, 16);
        row->addWidget(button);
        return button;
    };
    QToolButton* floatButton = addButton(QStyle::SP_TitleBarNormalButton, "Qel.SCBar.Float");
    QToolButton* closeButton = addButton(QStyle::SP_TitleBarCloseButton, "Qel.SCBar.Close");
    connect(floatButton, &QToolButton::clicked, this, [this] { setFloating(!isFloating()); });
    connect(closeButton, &QToolButton::clicked, this, &QDockWidget::close);
    auto showButtons = [floatButton, closeButton](QDockWidget::DockWidgetFeatures f) {
        floatButton->setVisible(f.testFlag(DockWidgetFloatable));
        closeButton->setVisible(f.testFlag(DockWidgetClosable));
    };
    showButtons(features());
    connect(this, &QDockWidget::featuresChanged, strip, showButtons);
    return strip;
}

void CSizingControlBar::setChild(QWidget* child) {
    if (child == child_) return;
    delete child_;
    child_ = child;
    if (!child_) return;
    child_->setParent(client_);
    child_->show();
    layoutChild();
}

void CSizingControlBar::setSizingStyle(int style) {
    style_ = (style_ & EdgeMask) | (style & (DrawEdges | SizeChild));
    layoutChild();
    client_->update();
}

void CSizingControlBar::setMinimumSizes(QSize horz, QSize vert, QSize floating) {
    minHorz_ = horz;
    minVert_ = vert;
    minFloat_ = floating;
    applyLimits();
}

void CSizingControlBar::widenTo(int width) {
    const Mode m = mode();
    if (m == Mode::Horizontal) return;  // stretched along the dock anyway
    QSize& size = m == Mode::Vertical ? vert_ : float_;
    if (width <= size.width()) return;
    size.setWidth(width);
    applySize();
}

QMainWindow* CSizingControlBar::mainWindow() const {
    return qobject_cast<QMainWindow*>(parentWidget());
}

CSizingControlBar::Mode CSizingControlBar::mode() const {
    QMainWindow* mw = mainWindow();
    if (isFloating() || !mw) return Mode::Floating;
    const Qt::DockWidgetArea area = mw->dockWidgetArea(const_cast<CSizingControlBar*>(this));
    if (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea) return Mode::Horizontal;
    return Mode::Vertical;
}

QSize CSizingControlBar::chromeSize() const {
    if (!isFloating()) return {0, kTitleHeight};
    const int frame = style()->pixelMetric(QStyle::PM_DockWidgetFrameWidth, nullptr, this);
    return {2 * frame, kTitleHeight + 2 * frame};
}

QSize CSizingControlBar::clamped(Mode mode, QSize size) const {
    switch (mode) {
        case Mode::Horizontal:
            return size.expandedTo(minHorz_);
        case Mode::Vertical:
            size = size.expandedTo(minVert_);
            return {std::min(size.width(), kMaxWidth), size.height()};
        case Mode::Floating:
            size = size.expandedTo(minFloat_);
            return {std::min(size.width(), kMaxWidth), size.height()};
    }
    return size;
}

QSize CSizingControlBar::fixedLayout(bool stretch, bool horizontal) const {
    if (stretch)
        return horizontal ? QSize(kStretched, horz_.height()) : QSize(vert_.width(), kStretched);
    return clamped(horizontal ? Mode::Horizontal : Mode::Vertical, horizontal ? horz_ : vert_);
}

QSize CSizingControlBar::floatingLayout(int length, Qt::Orientation along) {
    if (along == Qt::Horizontal)
        float_.setWidth(length);
    else
        float_.setHeight(length);
    float_ = clamped(Mode::Floating, float_);
    return float_;
}

QSize CSizingControlBar::sizeHint() const {
    switch (mode()) {
        case Mode::Horizontal:
            return fixedLayout(false, true);
        case Mode::Vertical:
            return fixedLayout(false, false);
        case Mode::Floating:
            return clamped(Mode::Floating, float_);
    }
    return float_;
}

QRect CSizingControlBar::edgeRect(int edge) const {
    if (!(style_ & edge & EdgeMask)) return {};
    const QRect c = client_->geometry();
    switch (edge) {
        case EdgeLeft:
            return {c.left(), c.top(), kEdgeWidth, c.height()};
        case EdgeTop:
            return {c.left(), c.top(), c.width(), kEdgeWidth};
        case EdgeRight:
            return {c.right() - kEdgeWidth + 1, c.top(), kEdgeWidth, c.height()};
        case EdgeBottom:
            return {c.left(), c.bottom() - kEdgeWidth + 1, c.width(), kEdgeWidth};
        default:
            return {};
    }
}

int CSizingControlBar::edgeAt(QPoint pos) const {
    if (isFloating()) return 0;
    for (int edge : kEdgeOrder)
        if (edgeRect(edge).contains(pos)) return edge;
    return 0;
}

QRect CSizingControlBar::clientRect() const {
    QRect r = client_->geometry();
    if (style_ & EdgeLeft) r.setLeft(r.left() + kEdgeWidth);
    if (style_ & EdgeTop) r.setTop(r.top() + kEdgeWidth);
    if (style_ & EdgeRight) r.setRight(r.right() - kEdgeWidth);
    if (style_ & EdgeBottom) r.setBottom(r.bottom() - kEdgeWidth);
    return r;
}

// A bar that comes, goes or moves changes its neighbours' edges too.
void CSizingControlBar::updateEdges() {
    updateOwnEdges();
    if (QMainWindow* mw = mainWindow())
        for (auto* other : mw->findChildren<CSizingControlBar*>(Qt::FindDirectChildrenOnly))
            if (other != this) other->updateOwnEdges();
}

// The other visible docked bars in this bar's dock row (its column at the left or right).
QList<QDockWidget*> CSizingControlBar::rowNeighbours() const {
    QList<QDockWidget*> row;
    QMainWindow* mw = mainWindow();
    if (!mw || isFloating() || !isVisible()) return row;
    const Qt::DockWidgetArea area = mw->dockWidgetArea(const_cast<CSizingControlBar*>(this));
    const bool horizontal = mode() == Mode::Horizontal;
    const QRect me = geometry();
    for (QDockWidget* other : mw->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->isFloating() || !other->isVisible() ||
            mw->dockWidgetArea(other) != area)
            continue;
        const QRect r = other->geometry();
        if (horizontal ? r.top() <= me.bottom() && r.bottom() >= me.top()
                       : r.left() <= me.right() && r.right() >= me.left())
            row.append(other);
    }
    return row;
}

// The side of this bar on which a neighbour in the row lies.
int CSizingControlBar::sideOf(const QDockWidget* other) const {
    const QPoint them = other->geometry().center(), me = geometry().center();
    if (mode() == Mode::Horizontal) return them.x() < me.x() ? EdgeLeft : EdgeRight;
    return them.y() < me.y() ? EdgeTop : EdgeBottom;
}

void CSizingControlBar::updateOwnEdges() {
    int edges = 0;
    for (const QDockWidget* other : rowNeighbours()) edges |= sideOf(other);
    if (edges == (style_ & EdgeMask)) return;
    style_ = (style_ & ~EdgeMask) | edges;
    layoutChild();
    client_->update();
}

void CSizingControlBar::placeChanged() {
    applyLimits();
    applySize();
    updateEdges();
}

void CSizingControlBar::applyLimits() {
    const Mode m = mode();
    const QSize chrome = chromeSize();
    const QSize minimum = m == Mode::Horizontal ? minHorz_
                          : m == Mode::Vertical ? minVert_
                                                : minFloat_;
    client_->setMinimumSize((minimum - chrome).expandedTo(QSize(0, 0)));
    client_->setMaximumWidth(m == Mode::Horizontal ? QWIDGETSIZE_MAX : kMaxWidth - chrome.width());
    client_->updateGeometry();
}

void CSizingControlBar::applySize() {
    applying_ = true;
    QMainWindow* mw = mainWindow();
    switch (mode()) {
        case Mode::Floating:
            if (isWindow()) resize(clamped(Mode::Floating, float_));
            break;
        case Mode::Vertical:
            if (mw) mw->resizeDocks({this}, {fixedLayout(false, false).width()}, Qt::Horizontal);
            break;
        case Mode::Horizontal:
            if (mw) mw->resizeDocks({this}, {fixedLayout(false, true).height()}, Qt::Vertical);
            break;
    }
    client_->updateGeometry();
    applying_ = false;
}

// Sizes the layout or the user gave the bar become its size for the current place.
void CSizingControlBar::takeSize() {
    if (applying_ || !isVisible()) return;
    const Mode m = mode();
    const QSize s = clamped(m, size());
    switch (m) {
        case Mode::Horizontal:
            horz_ = s;
            break;
        case Mode::Vertical:
            vert_ = s;
            break;
        case Mode::Floating:
            float_ = s;
            break;
    }
}

void CSizingControlBar::layoutChild() {
    if (child_ && (style_ & SizeChild))
        child_->setGeometry(clientRect().translated(-client_->pos()));
}

void CSizingControlBar::paintClient(QPainter& painter) const {
    painter.fillRect(client_->rect(), kBackground);
    if (!(style_ & DrawEdges)) return;
    for (int edge : kEdgeOrder) {
        const QRect r = edgeRect(edge).translated(-client_->pos());
        if (!r.isEmpty()) qDrawShadePanel(&painter, r, palette(), false, 1);
    }
}

void CSizingControlBar::pressClient(QPoint pos, QPoint globalPos) {
    dragEdge_ = edgeAt(pos);
    dragNeighbour_ = nullptr;
    // The nearest neighbour across the edge gives or takes the space.
    int nearest = 0;
    for (QDockWidget* other : rowNeighbours()) {
        if (sideOf(other) != dragEdge_) continue;
        const QPoint d = other->geometry().center() - geometry().center();
        const int distance = d.manhattanLength();
        if (!dragNeighbour_ || distance < nearest) {
            dragNeighbour_ = other;
            nearest = distance;
        }
    }
    if (!dragNeighbour_) dragEdge_ = 0;
    dragStart_ = globalPos;
    dragStartSize_ = size();
    if (dragNeighbour_) dragNeighbourSize_ = dragNeighbour_->size();
}

// Hover shows the sizing cursor over an edge; a drag from an edge moves the border between
// this bar and the neighbour across it.
void CSizingControlBar::dragClient(QPoint pos, QPoint globalPos) {
    if (!dragEdge_) {
        const int edge = edgeAt(pos);
        if (edge == EdgeLeft || edge == EdgeRight)
            client_->setCursor(Qt::SizeHorCursor);
        else if (edge)
            client_->setCursor(Qt::SizeVerCursor);
        else
            client_->unsetCursor();
        return;
    }
    QMainWindow* mw = mainWindow();
    if (!mw || !dragNeighbour_) return;
    const QPoint d = globalPos - dragStart_;
    const bool across = dragEdge_ == EdgeLeft || dragEdge_ == EdgeRight;
    const int grow = dragEdge_ == EdgeLeft    ? -d.x()
                     : dragEdge_ == EdgeRight ? d.x()
                     : dragEdge_ == EdgeTop   ? -d.y()
                                              : d.y();
    const int mine = (across ? dragStartSize_.width() : dragStartSize_.height()) + grow;
    const int theirs = (across ? dragNeighbourSize_.width() : dragNeighbourSize_.height()) - grow;
    mw->resizeDocks({this, dragNeighbour_.data()}, {mine, theirs},
                    across ? Qt::Horizontal : Qt::Vertical);
}

QString CSizingControlBar::sectionName(const QString& profileName, int controlId) {
    return QStringLiteral("%1-SCBar-%2").arg(profileName).arg(controlId);
}

void CSizingControlBar::loadState(const QString& profileName) {
    QSettings settings(QString::fromLatin1(kProfileOrganisation),
                       QString::fromLatin1(kProfileApplication));
    loadState(settings, profileName);
}

void CSizingControlBar::saveState(const QString& profileName) const {
    QSettings settings(QString::fromLatin1(kProfileOrganisation),
                       QString::fromLatin1(kProfileApplication));
    saveState(settings, profileName);
}

void CSizingControlBar::loadState(QSettings& settings, const QString& profileName) {
    settings.beginGroup(sectionName(profileName, controlId_));
    auto take = [&settings](const char* key, int& value, int minimum) {
        bool ok = false;
        const int saved = settings.value(QString::fromLatin1(key)).toInt(&ok);
        if (ok && saved >= minimum) value = saved;
    };
    take("sizeHorzCX", horz_.rwidth(), minHorz_.width());
    take("sizeHorzCY", horz_.rheight(), minHorz_.height());
    take("sizeVertCX", vert_.rwidth(), minVert_.width());
    take("sizeVertCY", vert_.rheight(), minVert_.height());
    take("sizeFloatCX", float_.rwidth(), minFloat_.width());
    take("sizeFloatCY", float_.rheight(), minFloat_.height());
    settings.endGroup();
    applySize();
}

void CSizingControlBar::saveState(QSettings& settings, const QString& profileName) const {
    settings.beginGroup(sectionName(profileName, controlId_));
    settings.setValue(QStringLiteral("sizeHorzCX"), horz_.width());
    settings.setValue(QStringLiteral("sizeHorzCY"), horz_.height());
    settings.setValue(QStringLiteral("sizeVertCX"), vert_.width());
    settings.setValue(QStringLiteral("sizeVertCY"), vert_.height());
    settings.setValue(QStringLiteral("sizeFloatCX"), float_.width());
    settings.setValue(QStringLiteral("sizeFloatCY"), float_.height());
    settings.endGroup();
}

void CSizingControlBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    takeSize();
    updateEdges();
}

void CSizingControlBar::moveEvent(QMoveEvent* event) {
    QDockWidget::moveEvent(event);
    updateEdges();
}

}  // namespace qel
