// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDockWidget>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSize>

class QMainWindow;
class QSettings;

namespace qel {

// A docking bar that keeps three sizes: docked at the top or bottom (horizontal), docked at
// the left or right (vertical) and floating, each with its minimum. The docking layout asks
// for the size of the current place through sizeHint(); sizes the user gives the bar are
// taken back into the matching size. Edges that face neighbours in the same dock row are
// sizing edges of 5 pixels; the child fills the rest. The sizes live in the profile between
// runs. GUI thread only.
class CSizingControlBar : public QDockWidget {
    Q_OBJECT
public:
    // Sizing style bits. The four edge bits are recomputed from the bar's place in its row.
    enum Style : int {
        EdgeLeft = 0x01,
        EdgeRight = 0x02,
        EdgeTop = 0x04,
        EdgeBottom = 0x08,
        EdgeMask = 0x0F,
        DrawEdges = 0x10,
        SizeChild = 0x20,
    };
    enum class Mode { Horizontal, Vertical, Floating };

    static constexpr int kEdgeWidth = 5;
    static constexpr int kStretched = 32767;
    static constexpr int kMaxWidth = 600;    // vertical and floating widths stop here
    static constexpr int kTitleHeight = 20;  // the title strip with the gripper buttons
    static constexpr QSize kInitialSize{180, 260};
    static constexpr const char* kProfileOrganisation = "Quellmar";
    static constexpr const char* kProfileApplication = "Quellmar";

    CSizingControlBar(const QString& title, int controlId, QWidget* parent = nullptr);
    ~CSizingControlBar() override;

    int controlId() const { return controlId_; }

    // The child window that fills the bar inside its edges; the bar owns it.
    void setChild(QWidget* child);
    QWidget* child() const { return child_; }

    int sizingStyle() const { return style_; }
    // Sets DrawEdges and SizeChild; the edge bits of `style` are ignored.
    void setSizingStyle(int style);
    int edgeWidth() const { return kEdgeWidth; }

    QSize horzSize() const { return horz_; }
    QSize vertSize() const { return vert_; }
    QSize floatSize() const { return float_; }
    QSize minHorzSize() const { return minHorz_; }
    QSize minVertSize() const { return minVert_; }
    QSize minFloatSize() const { return minFloat_; }
    void setMinimumSizes(QSize horz, QSize vert, QSize floating);
    // Docked at the left or right or floating: the bar becomes at least this wide (up to 600);
    // the user may narrow it again.
    void widenTo(int width);

    // Where the bar is now; a bar outside a main window counts as floating.
    Mode mode() const;

    // The size query of the docking layout: stretched to 32767 along the dock, otherwise the
    // stored size raised to its minimum (a vertical width stops at 600).
    QSize fixedLayout(bool stretch, bool horizontal) const;
    // A requested floating width (along Horizontal) or height replaces the stored one; the
    // result is raised to the floating minimum and its width stops at 600.
    QSize floatingLayout(int length, Qt::Orientation along);

    // Edge under `pos` (bar coordinates), tested left, top, right, bottom; 0 for the client
    // area and everywhere on a floating bar.
    int edgeAt(QPoint pos) const;
    // One enabled edge's rectangle in bar coordinates; empty when that edge is off.
    QRect edgeRect(int edge) const;
    // The area the child fills, in bar coordinates.
    QRect clientRect() const;
    // Recomputes the edge bits from the places in the dock rows, this bar's and its sibling
    // bars'.
    void updateEdges();

    // Section "<profile>-SCBar-<id>", keys sizeHorzCX ... sizeFloatCY. Loading keeps a size
    // whose saved value is missing or below its minimum. The overloads without settings use
    // the profile of organisation and application "Quellmar".
    static QString sectionName(const QString& profileName, int controlId);
    void loadState(const QString& profileName);
    void saveState(const QString& profileName) const;
    void loadState(QSettings& settings, const QString& profileName);
    void saveState(QSettings& settings, const QString& profileName) const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    class Client;

    QMainWindow* mainWindow() const;
    QSize chromeSize() const;  // title strip and floating frame around the client widget
    QSize clamped(Mode mode, QSize size) const;
    QWidget* makeTitleStrip();
    QList<QDockWidget*> rowNeighbours() const;
    int sideOf(const QDockWidget* other) const;
    void updateOwnEdges();
    void placeChanged();
    void applyLimits();
    void applySize();
    void takeSize();
    void layoutChild();
    void paintClient(QPainter& painter) const;
    void pressClient(QPoint pos, QPoint globalPos);
    void dragClient(QPoint pos, QPoint globalPos);

    int controlId_;
    int style_ = 0;
    QSize horz_ = kInitialSize, vert_ = kInitialSize, float_ = kInitialSize;
    QSize minHorz_ = kInitialSize, minVert_ = kInitialSize, minFloat_ = kInitialSize;
    Client* client_ = nullptr;
    QWidget* child_ = nullptr;
    bool applying_ = false;  // true while the bar sets its own size
    int dragEdge_ = 0;
    QPoint dragStart_;
    QSize dragStartSize_;
    QPointer<QDockWidget> dragNeighbour_;
    QSize dragNeighbourSize_;
};

}  // namespace qel
