#pragma once
// Stands in for the document (CDlgDoc), media-play (CDlgMediaPlay) and screen-play
// (CDlgScreenPlay) windows, which replace it through the layout manager's pane factory: a
// plain window that holds their place in the layout. No stream is drawn here.

#include <QWidget>

namespace yav::layout {

class PanePlaceholder : public QWidget {
public:
    PanePlaceholder(QWidget* parent, int rectIndex);
    // 37 document, 38 media play, 39 screen play.
    int GetRectIndex() const { return m_nRectIndex; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nRectIndex;
};

}  // namespace yav::layout
