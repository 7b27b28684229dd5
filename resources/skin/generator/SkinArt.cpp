#include "SkinArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <map>

namespace skin {

namespace {

// The flat look of the program: the caption blue RGB(51, 133, 237) and its family.
const QColor kBlue(51, 133, 237);
const QColor kBlueHover(87, 155, 242);
const QColor kBluePressed(36, 105, 201);
const QColor kBlueTint(234, 242, 253);
const QColor kBlueTintPressed(213, 230, 251);
const QColor kInk(74, 85, 102);
const QColor kDisabled(191, 198, 208);
const QColor kRed(229, 72, 77);
const QColor kGreen(62, 162, 64);
const QColor kAmber(245, 166, 35);
const QColor kLine(204, 210, 218);
const QColor kWhite(255, 255, 255);

// Draws one glyph in a 24 x 24 unit box mapped onto the painter's current transform.
class Pen {
public:
    // unitPixels: device pixels per unit; factor: device pixels per design pixel.
    Pen(QPainter& painter, QColor color, qreal unitPixels, qreal factor)
        : p(painter), c(color), unit(unitPixels), minimumWidth(factor / unitPixels) {
        stroke(color);
    }

    QPainter& p;
    QColor c;
    qreal unit;
    qreal minimumWidth;  // one design pixel, in units

    // Lines are 1.7 units wide, but never thinner than one design pixel.
    void stroke(QColor color, qreal width = 1.7) {
        QPen pen(color, std::max(width, minimumWidth));
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    }
    void fill(QColor color) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
    }
    void line(qreal x1, qreal y1, qreal x2, qreal y2) {
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void rect(qreal x, qreal y, qreal w, qreal h, qreal r = 0) {
        p.drawRoundedRect(QRectF(x, y, w, h), r, r);
    }
    void circle(qreal cx, qreal cy, qreal r) { p.drawEllipse(QPointF(cx, cy), r, r); }
    void arc(qreal cx, qreal cy, qreal r, qreal startDeg, qreal spanDeg) {
        p.drawArc(QRectF(cx - r, cy - r, 2 * r, 2 * r), static_cast<int>(startDeg * 16),
                  static_cast<int>(spanDeg * 16));
    }
    void poly(std::initializer_list<QPointF> points, bool closed) {
        QPolygonF polygon(points);
        if (closed) {
            p.drawPolygon(polygon);
        } else {
            p.drawPolyline(polygon);
        }
    }
    void path(const QPainterPath& shape) { p.drawPath(shape); }
    void text(const QRectF& box, const QString& label, qreal size, bool bold = true) {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(std::max(1, static_cast<int>(size * unit)));
        font.setBold(bold);
        p.save();
        p.scale(1.0 / unit, 1.0 / unit);
        p.setFont(font);
        p.setPen(p.brush().style() != Qt::NoBrush ? p.brush().color() : p.pen().color());
        p.drawText(QRectF(box.x() * unit, box.y() * unit, box.width() * unit, box.height() * unit),
                   Qt::AlignCenter, label);
        p.restore();
    }
    // A diagonal bar across the glyph: the "off" or "muted" mark.
    void slash(QColor color) {
        stroke(color, 2.0);
        line(4, 3.5, 20.5, 20);
    }
};

using Glyph = std::function<void(Pen&)>;

void Camera(Pen& g) {
    g.rect(2.5, 7, 13, 10, 2);
    g.poly({{15.5, 10.5}, {21.5, 7.5}, {21.5, 16.5}, {15.5, 13.5}}, true);
}
void Mic(Pen& g) {
    g.rect(9, 3, 6, 11, 3);
    g.arc(12, 11, 6, 180, 180);
    g.line(12, 17, 12, 21);
    g.line(8.5, 21, 15.5, 21);
}
void Speaker(Pen& g) {
    g.poly({{3.5, 9.5}, {7.5, 9.5}, {12.5, 5}, {12.5, 19}, {7.5, 14.5}, {3.5, 14.5}}, true);
}
void SpeakerOff(Pen& g) {
    Speaker(g);
    g.stroke(kRed, 2.0);
    g.line(15.5, 9, 21, 15);
    g.line(21, 9, 15.5, 15);
}
void Waves(Pen& g, int count) {
    for (int i = 0; i < count; ++i) {
        g.arc(12.5, 12, 3.5 + 3.2 * i, -45, 90);
    }
}
void Person(Pen& g, qreal cx, qreal top, qreal scale) {
    g.circle(cx, top + 3.5 * scale, 3.3 * scale);
    QPainterPath body;
    body.moveTo(cx - 6.5 * scale, top + 15 * scale);
    body.cubicTo(cx - 6.5 * scale, top + 9 * scale, cx + 6.5 * scale, top + 9 * scale,
                 cx + 6.5 * scale, top + 15 * scale);
    g.path(body);
}
void Monitor(Pen& g) {
    g.rect(2.5, 3.5, 19, 13, 1.5);
    g.line(12, 16.5, 12, 20);
    g.line(8, 20.5, 16, 20.5);
}
// Four corner brackets pointing outwards: "make it fill the screen" (or the page).
void Corners(Pen& g) {
    g.poly({{4, 9}, {4, 4}, {9, 4}}, false);
    g.poly({{15, 4}, {20, 4}, {20, 9}}, false);
    g.poly({{20, 15}, {20, 20}, {15, 20}}, false);
    g.poly({{9, 20}, {4, 20}, {4, 15}}, false);
}
void Arrow(Pen& g) {
    g.poly({{6, 3.5}, {6, 19}, {10, 15}, {13, 21}, {15.5, 20}, {12.5, 14}, {18, 14}}, true);
}
// A point sending waves to both sides: "broadcast this".
void Antenna(Pen& g, int rings) {
    g.fill(g.c);
    g.circle(12, 12, 2.2);
    g.stroke(g.c);
    for (int ring = 0; ring < rings; ++ring) {
        const qreal radius = 5.5 + 3.5 * ring;
        g.arc(12, 12, radius, -50, 100);
        g.arc(12, 12, radius, 130, 100);
    }
}
void Chevron(Pen& g, qreal angleDeg) {
    g.p.save();
    g.p.translate(12, 12);
    g.p.rotate(angleDeg);
    g.poly({{-2.5, -6}, {3.5, 0}, {-2.5, 6}}, false);
    g.p.restore();
}
void Triangle(Pen& g, qreal angleDeg, QColor color) {
    g.p.save();
    g.p.translate(12, 12);
    g.p.rotate(angleDeg);
    g.fill(color);
    g.poly({{-3, -5}, {4, 0}, {-3, 5}}, true);
    g.p.restore();
}
void Grid(Pen& g, int cells) {
    const qreal size = 18.0 / cells;
    for (int row = 0; row < cells; ++row) {
        for (int column = 0; column < cells; ++column) {
            g.rect(3 + column * size + 0.6, 3 + row * size + 0.6, size - 1.2, size - 1.2, 0.6);
        }
    }
}
void Folder(Pen& g, bool open) {
    if (open) {
        g.poly({{3, 19}, {3, 5}, {9, 5}, {11, 7.5}, {19, 7.5}, {19, 10}}, false);
        g.poly({{3, 19}, {6.5, 10}, {22, 10}, {18.5, 19}}, true);
    } else {
        g.poly({{2.5, 19}, {2.5, 5}, {9, 5}, {11, 7.5}, {21.5, 7.5}, {21.5, 19}}, true);
        g.line(2.5, 10.5, 21.5, 10.5);
    }
}
void Document(Pen& g) {
    g.poly({{5.5, 2.5}, {14, 2.5}, {19, 7.5}, {19, 21.5}, {5.5, 21.5}}, true);
    g.poly({{14, 2.5}, {14, 7.5}, {19, 7.5}}, false);
    g.line(8.5, 12, 15.5, 12);
    g.line(8.5, 16, 15.5, 16);
}
void Hand(Pen& g) {
    QPainterPath hand;
    hand.moveTo(7, 13);
    hand.lineTo(7, 6);
    hand.moveTo(10, 12);
    hand.lineTo(10, 3.5);
    hand.moveTo(13, 12);
    hand.lineTo(13, 4);
    hand.moveTo(16, 12.5);
    hand.lineTo(16, 6);
    hand.moveTo(7, 12);
    hand.cubicTo(7, 21, 9, 21.5, 12, 21.5);
    hand.cubicTo(16, 21.5, 17.5, 19, 18.5, 15.5);
    hand.lineTo(20, 11);
    hand.moveTo(16, 13.5);
    hand.lineTo(16, 12.5);
    g.path(hand);
}
void Gear(Pen& g) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = M_PI * i / teeth;
        const qreal radius = (i % 2 == 0) ? 9.5 : 7.2;
        const QPointF point(12 + radius * std::cos(angle), 12 + radius * std::sin(angle));
        if (i == 0) {
            gear.moveTo(point);
        } else {
            gear.lineTo(point);
        }
    }
    gear.closeSubpath();
    g.path(gear);
    g.circle(12, 12, 3);
}
void Bubble(Pen& g) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2.5, 3.5, 19, 13.5), 3, 3);
    g.path(bubble);
    g.poly({{7, 17}, {6.5, 21.5}, {11.5, 17}}, false);
}
void Brush(Pen& g, QColor color) {
    g.fill(color);
    g.rect(3, 3, 18, 18, 3);
}
void Lines(Pen& g, int widthIndex) {
    g.stroke(g.c, 1.2 + widthIndex * 1.4);
    g.line(5, 12, 19, 12);
}

// Every glyph by name. Colours inside a glyph follow the pen colour so that the state
// (normal, hover, pressed, disabled) shows in every image of a button.
const std::map<QString, Glyph>& Glyphs() {
    static const std::map<QString, Glyph> glyphs = {
        {"close",
         [](Pen& g) {
             g.line(6, 6, 18, 18);
             g.line(18, 6, 6, 18);
         }},
        {"minimize", [](Pen& g) { g.line(5, 12.5, 19, 12.5); }},
        {"maximize", [](Pen& g) { g.rect(5, 5, 14, 14, 1); }},
        {"restore",
         [](Pen& g) {
             g.rect(4.5, 8.5, 11, 11, 1);
             g.poly({{8.5, 8.5}, {8.5, 4.5}, {19.5, 4.5}, {19.5, 15.5}, {15.5, 15.5}}, false);
         }},
        {"settings", Gear},
        {"camera", Camera},
        {"camera-off",
         [](Pen& g) {
             Camera(g);
             g.slash(kRed);
         }},
        {"mic", Mic},
        {"mic-1",
         [](Pen& g) {
             Mic(g);
             g.fill(kGreen);
             g.rect(10.2, 9, 3.6, 4.5, 1.8);
         }},
        {"mic-2",
         [](Pen& g) {
             Mic(g);
             g.fill(kGreen);
             g.rect(10.2, 5, 3.6, 8.5, 1.8);
         }},
        {"mic-off",
         [](Pen& g) {
             Mic(g);
             g.slash(kRed);
         }},
        {"speaker",
         [](Pen& g) {
             Speaker(g);
             Waves(g, 1);
         }},
        {"speaker-1",
         [](Pen& g) {
             Speaker(g);
             g.stroke(kGreen);
             Waves(g, 2);
         }},
        {"speaker-2",
         [](Pen& g) {
             Speaker(g);
             g.stroke(kGreen);
             Waves(g, 3);
         }},
        {"speaker-off", SpeakerOff},
        {"device-test",
         [](Pen& g) {
             g.line(5, 4, 5, 20);
             g.line(12, 4, 12, 20);
             g.line(19, 4, 19, 20);
             g.fill(g.c);
             g.circle(5, 14, 2.4);
             g.circle(12, 8, 2.4);
             g.circle(19, 16, 2.4);
         }},
        {"signal-0",
         [](Pen& g) {
             g.fill(kDisabled);
             g.rect(4, 15, 4, 5, 1);
             g.rect(10, 10, 4, 10, 1);
             g.rect(16, 5, 4, 15, 1);
             g.fill(kRed);
             g.rect(4, 15, 4, 5, 1);
         }},
        {"signal-1",
         [](Pen& g) {
             g.fill(kDisabled);
             g.rect(16, 5, 4, 15, 1);
             g.fill(kAmber);
             g.rect(4, 15, 4, 5, 1);
             g.rect(10, 10, 4, 10, 1);
         }},
        {"signal-2",
         [](Pen& g) {
             g.fill(kGreen);
             g.rect(4, 15, 4, 5, 1);
             g.rect(10, 10, 4, 10, 1);
             g.rect(16, 5, 4, 15, 1);
         }},
        {"info",
         [](Pen& g) {
             g.circle(12, 12, 9);
             g.line(12, 11, 12, 17);
             g.fill(g.c);
             g.circle(12, 7.5, 1.3);
         }},
        {"record",
         [](Pen& g) {
             g.stroke(kRed);
             g.circle(12, 12, 8.5);
             g.fill(kRed);
             g.circle(12, 12, 5);
         }},
        {"remote",
         [](Pen& g) {
             Monitor(g);
             g.fill(g.c);
             g.poly({{10, 6.5},
                     {10, 14.5},
                     {12.2, 12.4},
                     {14, 15.5},
                     {15.3, 14.8},
                     {13.6, 11.8},
                     {16.5, 11.5}},
                    true);
         }},
        {"remote-stop",
         [](Pen& g) {
             Monitor(g);
             g.fill(kRed);
             g.rect(8.5, 6.5, 7, 7, 1);
         }},
        {"presenter",
         [](Pen& g) {
             g.rect(9, 3, 12.5, 9, 1);
             Person(g, 6.5, 8.5, 0.9);
             g.line(10, 15, 15, 11);
         }},
        {"presenter-on",
         [](Pen& g) {
             g.rect(9, 3, 12.5, 9, 1);
             Person(g, 6.5, 8.5, 0.9);
             g.fill(kGreen);
             g.circle(18.5, 17.5, 3.5);
         }},
        {"presenter-wait",
         [](Pen& g) {
             g.rect(9, 3, 12.5, 9, 1);
             Person(g, 6.5, 8.5, 0.9);
             g.stroke(kAmber, 1.4);
             g.circle(18.5, 17.5, 3.5);
             g.line(18.5, 15.8, 18.5, 17.6);
             g.line(18.5, 17.6, 19.8, 18.6);
         }},
        {"hand", Hand},
        {"hand-down",
         [](Pen& g) {
             Hand(g);
             g.slash(kRed);
         }},
        {"share",
         [](Pen& g) {
             g.poly({{9, 5.5}, {4, 5.5}, {4, 19.5}, {20, 19.5}, {20, 14}}, false);
             g.line(11, 13, 20, 4);
             g.poly({{14, 4}, {20, 4}, {20, 10}}, false);
         }},
        {"fullscreen", Corners},
        {"fullscreen-exit",
         [](Pen& g) {
             g.poly({{4, 9}, {9, 9}, {9, 4}}, false);
             g.poly({{15, 4}, {15, 9}, {20, 9}}, false);
             g.poly({{20, 15}, {15, 15}, {15, 20}}, false);
             g.poly({{9, 20}, {9, 15}, {4, 15}}, false);
         }},
        {"phone",
         [](Pen& g) {
             QPainterPath phone;
             phone.moveTo(6, 3.5);
             phone.lineTo(9.5, 3.5);
             phone.lineTo(11, 8);
             phone.lineTo(8.8, 9.8);
             phone.cubicTo(10, 12.5, 11.5, 14, 14.2, 15.2);
             phone.lineTo(16, 13);
             phone.lineTo(20.5, 14.5);
             phone.lineTo(20.5, 18);
             phone.cubicTo(20.5, 19.5, 19.5, 20.5, 18, 20.5);
             phone.cubicTo(10, 20, 4, 14, 3.5, 6);
             phone.cubicTo(3.5, 4.5, 4.5, 3.5, 6, 3.5);
             g.path(phone);
         }},
        {"manage",
         [](Pen& g) {
             g.rect(4.5, 4, 15, 17, 1.5);
             g.line(8, 4, 8, 2.5);
             g.line(16, 4, 16, 2.5);
             g.line(8, 10, 16, 10);
             g.line(8, 14, 16, 14);
             g.line(8, 18, 13, 18);
         }},
        {"sync",
         [](Pen& g) {
             g.arc(12, 12, 7.5, 30, 150);
             g.arc(12, 12, 7.5, 210, 150);
             g.poly({{17.5, 3.5}, {18.5, 8.3}, {13.8, 8}}, false);
             g.poly({{6.5, 20.5}, {5.5, 15.7}, {10.2, 16}}, false);
         }},
        {"layout", [](Pen& g) { Grid(g, 2); }},
        {"layout-1", [](Pen& g) { Grid(g, 1); }},
        {"layout-4", [](Pen& g) { Grid(g, 2); }},
        {"layout-9", [](Pen& g) { Grid(g, 3); }},
        {"layout-16", [](Pen& g) { Grid(g, 4); }},
        {"layout-pip",
         [](Pen& g) {
             g.rect(3, 4, 18, 16, 1);
             g.fill(g.c);
             g.rect(13, 13, 6, 5, 0.5);
         }},
        {"layout-auto",
         [](Pen& g) {
             g.rect(3, 3, 11, 11, 0.8);
             g.rect(16, 3, 5, 5, 0.6);
             g.rect(16, 9.5, 5, 4.5, 0.6);
             g.rect(3, 16, 5, 5, 0.6);
             g.rect(9.5, 16, 4.5, 5, 0.6);
             g.rect(16, 16, 5, 5, 0.6);
         }},
        {"chat", Bubble},
        {"members",
         [](Pen& g) {
             Person(g, 9, 4, 1.0);
             Person(g, 17, 6, 0.8);
         }},
        {"more",
         [](Pen& g) {
             g.fill(g.c);
             g.circle(5.5, 12, 1.8);
             g.circle(12, 12, 1.8);
             g.circle(18.5, 12, 1.8);
         }},
        {"myview",
         [](Pen& g) {
             g.rect(2.5, 4, 19, 16, 1.5);
             Person(g, 12, 7, 0.75);
         }},
        {"folder", [](Pen& g) { Folder(g, false); }},
        {"folder-open", [](Pen& g) { Folder(g, true); }},
        {"folder-new",
         [](Pen& g) {
             Folder(g, false);
             g.line(12, 12.5, 12, 17.5);
             g.line(9.5, 15, 14.5, 15);
         }},
        {"document", Document},
        {"upload",
         [](Pen& g) {
             g.line(12, 4, 12, 16);
             g.poly({{7, 9}, {12, 4}, {17, 9}}, false);
             g.poly({{4, 15}, {4, 20}, {20, 20}, {20, 15}}, false);
         }},
        {"download",
         [](Pen& g) {
             g.line(12, 4, 12, 16);
             g.poly({{7, 11}, {12, 16}, {17, 11}}, false);
             g.poly({{4, 15}, {4, 20}, {20, 20}, {20, 15}}, false);
         }},
        {"trash",
         [](Pen& g) {
             g.line(4, 6.5, 20, 6.5);
             g.poly({{9, 6.5}, {9.5, 3.5}, {14.5, 3.5}, {15, 6.5}}, false);
             g.poly({{6, 6.5}, {7, 20.5}, {17, 20.5}, {18, 6.5}}, false);
             g.line(10, 10, 10, 17);
             g.line(14, 10, 14, 17);
         }},
        {"select-many",
         [](Pen& g) {
             g.rect(3, 4, 7, 7, 1);
             g.poly({{4.5, 7.5}, {6, 9}, {8.5, 6}}, false);
             g.rect(3, 14, 7, 7, 1);
             g.line(13, 7.5, 21, 7.5);
             g.line(13, 17.5, 21, 17.5);
         }},
        {"search",
         [](Pen& g) {
             g.circle(10.5, 10.5, 6.5);
             g.line(15.5, 15.5, 20.5, 20.5);
         }},
        {"expand-right", [](Pen& g) { Triangle(g, 0, g.c); }},
        {"expand-down", [](Pen& g) { Triangle(g, 90, g.c); }},
        {"expand-up", [](Pen& g) { Chevron(g, -90); }},
        {"chevron-down", [](Pen& g) { Chevron(g, 90); }},
        {"check",
         [](Pen& g) {
             g.stroke(g.c, 2.2);
             g.poly({{5, 12.5}, {10, 17.5}, {19.5, 6.5}}, false);
         }},
        {"prev", [](Pen& g) { Chevron(g, 180); }},
        {"next", [](Pen& g) { Chevron(g, 0); }},
        {"arrow-right",
         [](Pen& g) {
             g.line(4, 12, 19, 12);
             g.poly({{13, 6}, {19, 12}, {13, 18}}, false);
         }},
        {"auto-page",
         [](Pen& g) {
             g.arc(12, 12, 8.5, 60, 300);
             g.poly({{17, 2.8}, {16.3, 7.6}, {21, 8.2}}, false);
             g.fill(g.c);
             g.poly({{10, 8.5}, {16, 12}, {10, 15.5}}, true);
         }},
        {"zoom-in",
         [](Pen& g) {
             g.circle(10.5, 10.5, 6.5);
             g.line(15.5, 15.5, 20.5, 20.5);
             g.line(7.5, 10.5, 13.5, 10.5);
             g.line(10.5, 7.5, 10.5, 13.5);
         }},
        {"zoom-out",
         [](Pen& g) {
             g.circle(10.5, 10.5, 6.5);
             g.line(15.5, 15.5, 20.5, 20.5);
             g.line(7.5, 10.5, 13.5, 10.5);
         }},
        {"zoom-fit",
         [](Pen& g) {
             Corners(g);
             g.rect(8.5, 8.5, 7, 7, 1);
         }},
        {"pointer", Arrow},
        {"laser",
         [](Pen& g) {
             g.line(4, 20, 13, 11);
             g.fill(kRed);
             g.circle(16.5, 7.5, 3.5);
             g.stroke(kRed, 1.2);
             g.line(16.5, 1.5, 16.5, 2.8);
             g.line(22.5, 7.5, 21.2, 7.5);
         }},
        {"pen",
         [](Pen& g) {
             g.poly({{15.5, 4}, {20, 8.5}, {9, 19.5}, {3.5, 20.5}, {4.5, 15}}, true);
             g.line(13, 6.5, 17.5, 11);
         }},
        {"line",
         [](Pen& g) {
             g.line(5, 19, 19, 5);
             g.fill(g.c);
             g.circle(5, 19, 1.8);
             g.circle(19, 5, 1.8);
         }},
        {"rectangle", [](Pen& g) { g.rect(4, 6, 16, 12, 1); }},
        {"ellipse", [](Pen& g) { g.p.drawEllipse(QRectF(3.5, 5.5, 17, 13)); }},
        {"text",
         [](Pen& g) {
             g.line(5, 5, 19, 5);
             g.line(12, 5, 12, 20);
             g.line(9, 20, 15, 20);
         }},
        {"eraser",
         [](Pen& g) {
             g.poly({{9.5, 20}, {3.5, 14}, {13, 4.5}, {20.5, 12}, {12.5, 20}}, true);
             g.line(7.5, 10, 15, 17.5);
             g.line(9.5, 20, 20, 20);
         }},
        {"mouse", Arrow},
        {"undo",
         [](Pen& g) {
             g.arc(13, 13, 7, -90, 250);
             g.poly({{4, 5}, {6, 10.5}, {11, 8}}, false);
         }},
        {"font-small", [](Pen& g) { g.text(QRectF(0, 0, 24, 24), QStringLiteral("A"), 12); }},
        {"font-medium", [](Pen& g) { g.text(QRectF(0, 0, 24, 24), QStringLiteral("A"), 17); }},
        {"font-large", [](Pen& g) { g.text(QRectF(0, 0, 24, 24), QStringLiteral("A"), 22); }},
        {"width-thin", [](Pen& g) { Lines(g, 0); }},
        {"width-medium", [](Pen& g) { Lines(g, 1); }},
        {"width-thick", [](Pen& g) { Lines(g, 2); }},
        {"color-red", [](Pen& g) { Brush(g, QColor(229, 57, 53)); }},
        {"color-yellow", [](Pen& g) { Brush(g, QColor(253, 216, 53)); }},
        {"color-green", [](Pen& g) { Brush(g, QColor(67, 160, 71)); }},
        {"color-blue", [](Pen& g) { Brush(g, kBlue); }},
        {"color-black", [](Pen& g) { Brush(g, QColor(33, 33, 33)); }},
        {"color-grey", [](Pen& g) { Brush(g, QColor(125, 125, 125)); }},
        {"color-purple", [](Pen& g) { Brush(g, QColor(128, 0, 128)); }},
        {"color-white",
         [](Pen& g) {
             Brush(g, kWhite);
             g.stroke(kLine, 1.0);
             g.rect(3, 3, 18, 18, 3);
         }},
        {"broadcast", [](Pen& g) { Antenna(g, 2); }},
        {"broadcast-off",
         [](Pen& g) {
             Antenna(g, 1);
             g.slash(kRed);
         }},
        {"speak-grant",
         [](Pen& g) {
             Mic(g);
             g.fill(kGreen);
             g.circle(18.5, 17.5, 4);
             g.stroke(kWhite, 1.3);
             g.line(16.6, 17.5, 20.4, 17.5);
             g.line(18.5, 15.6, 18.5, 19.4);
         }},
        {"speak-revoke",
         [](Pen& g) {
             Mic(g);
             g.fill(kRed);
             g.circle(18.5, 17.5, 4);
             g.stroke(kWhite, 1.3);
             g.line(16.6, 17.5, 20.4, 17.5);
         }},
        {"ptz-up", [](Pen& g) { Triangle(g, -90, g.c); }},
        {"ptz-down", [](Pen& g) { Triangle(g, 90, g.c); }},
        {"ptz-left", [](Pen& g) { Triangle(g, 180, g.c); }},
        {"ptz-right", [](Pen& g) { Triangle(g, 0, g.c); }},
        {"plus",
         [](Pen& g) {
             g.line(12, 5, 12, 19);
             g.line(5, 12, 19, 12);
         }},
        {"minus", [](Pen& g) { g.line(5, 12, 19, 12); }},
        {"focus-near",
         [](Pen& g) {
             g.circle(12, 12, 8);
             g.fill(g.c);
             g.circle(12, 12, 2.5);
         }},
        {"focus-far",
         [](Pen& g) {
             g.circle(12, 12, 8);
             g.circle(12, 12, 4);
         }},
        {"user", [](Pen& g) { Person(g, 12, 3, 1.15); }},
        {"user-admin",
         [](Pen& g) {
             Person(g, 10.5, 3, 1.1);
             g.fill(kAmber);
             g.poly({{18, 13},
                     {19.2, 15.6},
                     {22, 15.9},
                     {19.9, 17.8},
                     {20.5, 20.6},
                     {18, 19.2},
                     {15.5, 20.6},
                     {16.1, 17.8},
                     {14, 15.9},
                     {16.8, 15.6}},
                    true);
         }},
        {"video", Camera},
        {"video-on",
         [](Pen& g) {
             g.fill(g.c);
             g.rect(2.5, 7, 13, 10, 2);
             g.poly({{15.5, 10.5}, {21.5, 7.5}, {21.5, 16.5}, {15.5, 13.5}}, true);
         }},
        {"video-multi",
         [](Pen& g) {
             g.rect(5, 4, 12, 9, 1.5);
             g.p.setBrush(kWhite);
             g.rect(2.5, 9, 12, 9, 1.5);
             g.p.setBrush(Qt::NoBrush);
             g.poly({{14.5, 12}, {20.5, 9}, {20.5, 18}, {14.5, 15}}, true);
         }},
        {"video-multi-on",
         [](Pen& g) {
             g.fill(g.c);
             g.rect(5, 4, 12, 9, 1.5);
             g.stroke(kWhite, 1.2);
             g.p.setBrush(g.c);
             g.rect(2.5, 9, 12, 9, 1.5);
             g.fill(g.c);
             g.poly({{14.5, 12}, {20.5, 9}, {20.5, 18}, {14.5, 15}}, true);
         }},
        {"speaking",
         [](Pen& g) {
             Mic(g);
             g.stroke(kGreen, 1.4);
             g.arc(12, 9, 9.5, -35, 70);
             g.arc(12, 9, 9.5, 145, 70);
         }},
        {"audio-ask",
         [](Pen& g) {
             Hand(g);
             g.fill(kAmber);
             g.circle(19.5, 5, 2.5);
         }},
        {"audio-private",
         [](Pen& g) {
             Mic(g);
             g.fill(kBlue);
             g.circle(18.5, 18, 3.5);
         }},
        {"audio-group",
         [](Pen& g) {
             Mic(g);
             g.stroke(kGreen, 1.3);
             g.circle(18.5, 18, 3.5);
             g.circle(5.5, 18, 3.5);
         }},
        {"lock",
         [](Pen& g) {
             g.rect(5, 10.5, 14, 10, 1.5);
             g.arc(12, 10.5, 4.5, 0, 180);
             g.line(7.5, 10.5, 7.5, 9.8);
             g.line(16.5, 10.5, 16.5, 9.8);
         }},
        {"play",
         [](Pen& g) {
             g.fill(g.c);
             g.poly({{7, 4.5}, {19, 12}, {7, 19.5}}, true);
         }},
        {"pause",
         [](Pen& g) {
             g.fill(g.c);
             g.rect(6, 5, 4, 14, 1);
             g.rect(14, 5, 4, 14, 1);
         }},
        {"open", [](Pen& g) { Folder(g, true); }},
        {"volume",
         [](Pen& g) {
             Speaker(g);
             Waves(g, 2);
         }},
        {"mute", SpeakerOff},
        {"hd",
         [](Pen& g) {
             g.rect(2.5, 5, 19, 14, 2.5);
             g.text(QRectF(2.5, 5, 19, 14), QStringLiteral("HD"), 9);
         }},
        {"snapshot",
         [](Pen& g) {
             g.rect(2.5, 6.5, 19, 13.5, 2);
             g.poly({{8, 6.5}, {9.5, 3.5}, {14.5, 3.5}, {16, 6.5}}, false);
             g.circle(12, 13, 4);
         }},
        {"clap",
         [](Pen& g) {
             Hand(g);
             g.stroke(kAmber, 1.3);
             g.line(3, 3, 4.5, 5);
             g.line(1.5, 7, 3.5, 8);
             g.line(20, 3, 18.5, 5);
         }},
        {"cheer",
         [](Pen& g) {
             g.fill(kAmber);
             g.poly({{12, 2.5},
                     {14.6, 8.6},
                     {21, 9.2},
                     {16.2, 13.4},
                     {17.6, 19.8},
                     {12, 16.4},
                     {6.4, 19.8},
                     {7.8, 13.4},
                     {3, 9.2},
                     {9.4, 8.6}},
                    true);
         }},
        {"music",
         [](Pen& g) {
             g.line(9, 17, 9, 5);
             g.line(9, 5, 19, 3);
             g.line(19, 3, 19, 15);
             g.fill(g.c);
             g.circle(7, 17.5, 2.6);
             g.circle(17, 15.5, 2.6);
         }},
        {"hash",
         [](Pen& g) {
             g.line(9, 4, 7.5, 20);
             g.line(16.5, 4, 15, 20);
             g.line(4.5, 9, 20, 9);
             g.line(4, 15, 19.5, 15);
         }},
        {"people",
         [](Pen& g) {
             Person(g, 9, 4, 1.0);
             Person(g, 17, 6, 0.8);
         }},
        {"dot",
         [](Pen& g) {
             g.fill(kRed);
             g.circle(12, 12, 9);
         }},
        {"refresh",
         [](Pen& g) {
             g.arc(12, 12, 8, 60, 300);
             g.poly({{17, 2.8}, {16.3, 7.6}, {21, 8.2}}, false);
         }},
        {"whiteboard",
         [](Pen& g) {
             g.rect(3, 4, 18, 13, 1);
             g.line(8, 21, 10, 17);
             g.line(16, 21, 14, 17);
             g.line(7, 13, 11, 9);
             g.line(11, 9, 13, 11);
             g.line(13, 11, 17, 7);
         }},
        {"screen", Monitor},
        {"media",
         [](Pen& g) {
             g.rect(3, 4, 18, 16, 1.5);
             g.line(7, 4, 7, 20);
             g.line(17, 4, 17, 20);
             g.fill(g.c);
             g.poly({{10, 9}, {14.5, 12}, {10, 15}}, true);
         }},
        {"device", [](Pen& g) { Camera(g); }},
        {"plug",
         [](Pen& g) {
             g.line(9, 3, 9, 8);
             g.line(15, 3, 15, 8);
             g.rect(6, 8, 12, 6, 2);
             g.line(12, 14, 12, 21);
         }},
        {"network",
         [](Pen& g) {
             g.circle(12, 12, 9);
             g.p.drawEllipse(QRectF(8, 3, 8, 18));
             g.line(3, 12, 21, 12);
         }},
        {"about",
         [](Pen& g) {
             g.circle(12, 12, 9);
             g.line(12, 11, 12, 17);
             g.fill(g.c);
             g.circle(12, 7.5, 1.3);
         }},
        {"feedback", Bubble},
        {"record-folder",
         [](Pen& g) {
             Folder(g, false);
             g.fill(kRed);
             g.circle(12, 15, 2.6);
         }},
        {"photo-folder",
         [](Pen& g) {
             Folder(g, false);
             g.stroke(g.c, 1.3);
             g.circle(12, 15, 2.6);
         }},
        {"hourglass",
         [](Pen& g) {
             g.line(6, 3.5, 18, 3.5);
             g.line(6, 20.5, 18, 20.5);
             g.poly({{7, 3.5}, {17, 20.5}}, false);
             g.poly({{17, 3.5}, {7, 20.5}}, false);
         }},
        {"success",
         [](Pen& g) {
             g.stroke(kGreen);
             g.circle(12, 12, 9.5);
             g.stroke(kGreen, 2.2);
             g.poly({{7, 12.5}, {10.5, 16}, {17, 8.5}}, false);
         }},
        {"warning",
         [](Pen& g) {
             g.stroke(kAmber);
             g.poly({{12, 3}, {21.5, 20}, {2.5, 20}}, true);
             g.line(12, 9, 12, 14);
             g.fill(kAmber);
             g.circle(12, 17, 1.2);
         }},
        {"failure",
         [](Pen& g) {
             g.stroke(kRed);
             g.circle(12, 12, 9.5);
             g.stroke(kRed, 2.2);
             g.line(8.5, 8.5, 15.5, 15.5);
             g.line(15.5, 8.5, 8.5, 15.5);
         }},
        {"decoder",
         [](Pen& g) {
             g.rect(4, 4, 16, 16, 2);
             g.line(8, 1.5, 8, 4);
             g.line(12, 1.5, 12, 4);
             g.line(16, 1.5, 16, 4);
             g.line(8, 20, 8, 22.5);
             g.line(12, 20, 12, 22.5);
             g.line(16, 20, 16, 22.5);
             g.rect(8.5, 8.5, 7, 7, 1);
         }},
    };
    return glyphs;
}

// How a glyph sits in its image: the square it is drawn in and its colour.
struct GlyphPlacement {
    QRectF box;
    QColor color;
};

QRectF CentredSquare(const QRectF& area, qreal fraction) {
    const qreal side = std::min(area.width(), area.height()) * fraction;
    return QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
}

// The glyph colour of a state on a light background.
QColor InkOf(const QString& state) {
    if (state.startsWith(QStringLiteral("disabled"))) {
        return kDisabled;
    }
    if (state.contains(QStringLiteral("pressed"))) {
        return kBluePressed;
    }
    if (state.contains(QStringLiteral("hover")) || state.startsWith(QStringLiteral("on"))) {
        return kBlue;
    }
    return kInk;
}

void RoundedFill(QPainter& p, const QRectF& r, qreal radius, QColor fill,
                 QColor border = QColor()) {
    p.setPen(border.isValid() ? QPen(border, 1.0) : Qt::NoPen);
    p.setBrush(fill);
    const QRectF inner = border.isValid() ? r.adjusted(0.5, 0.5, -0.5, -0.5) : r;
    p.drawRoundedRect(inner, radius, radius);
}

bool DrawGlyph(QPainter& p, const QString& name, const QRectF& box, QColor color, qreal factor) {
    if (name.isEmpty()) {
        return true;
    }
    const auto found = Glyphs().find(name);
    if (found == Glyphs().end()) {
        return false;
    }
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    Pen pen(p, color, box.width() / 24.0, factor);
    found->second(pen);
    p.restore();
    return true;
}

// A frame style paints the state's background and returns where the glyph goes.
using Frame =
    std::function<GlyphPlacement(QPainter&, const QRectF&, const QString& state, qreal factor)>;

GlyphPlacement FlatFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // Light panels: hover and pressed show a tinted square behind the glyph; "on" states
    // (checked toggles) keep the tint so that a checked button reads as held down.
    if (state.contains(QStringLiteral("pressed"))) {
        RoundedFill(p, r, 3, kBlueTintPressed);
    } else if (state.contains(QStringLiteral("hover")) || state.startsWith(QStringLiteral("on"))) {
        RoundedFill(p, r, 3, kBlueTint);
    }
    return {CentredSquare(r, 0.78), InkOf(state)};
}

GlyphPlacement IconFrame(QPainter&, const QRectF& r, const QString& state, qreal) {
    return {CentredSquare(r, 1.0), InkOf(state)};
}

GlyphPlacement CaptionFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // Buttons on the caption band: a white glyph, a light veil on hover, a shade when
    // pressed. Close buttons turn red on hover, as users expect from a close box.
    if (state == QStringLiteral("close-hover")) {
        RoundedFill(p, r, 2, kRed);
    } else if (state.contains(QStringLiteral("hover"))) {
        RoundedFill(p, r, 2, QColor(255, 255, 255, 64));
    } else if (state.contains(QStringLiteral("pressed"))) {
        RoundedFill(p, r, 2, QColor(0, 0, 0, 48));
    }
    QColor ink = kWhite;
    if (state.startsWith(QStringLiteral("disabled"))) {
        ink.setAlpha(110);
    } else if (state == QStringLiteral("normal")) {
        ink.setAlpha(225);
    }
    return {CentredSquare(r, 0.72), ink};
}

GlyphPlacement DarkFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // Buttons on the dark top band of the room window.
    QColor ink(200, 204, 210);
    if (state == QStringLiteral("close-hover")) {
        RoundedFill(p, r, 2, kRed);
        ink = kWhite;
    } else if (state.contains(QStringLiteral("hover"))) {
        RoundedFill(p, r, 2, QColor(255, 255, 255, 36));
        ink = kWhite;
    } else if (state.contains(QStringLiteral("pressed"))) {
        RoundedFill(p, r, 2, QColor(0, 0, 0, 70));
        ink = kWhite;
    } else if (state.startsWith(QStringLiteral("on"))) {
        ink = kBlueHover;
    } else if (state.startsWith(QStringLiteral("disabled"))) {
        ink = QColor(110, 110, 110);
    }
    return {CentredSquare(r, 0.72), ink};
}

// A button on the dark top band whose caption the program draws to the right of the glyph
// (from 32 design px in): the glyph sits in a square at the left, clear of the caption.
GlyphPlacement DarkIconLeftFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    const GlyphPlacement centred = DarkFrame(p, r, state, factor);
    const qreal side = centred.box.width();
    const QRectF box(r.left() + (r.height() - side) / 2, r.center().y() - side / 2, side, side);
    return {box, centred.color};
}

// A button whose caption the program draws to the right of the glyph: the glyph sits in a
// square at the left, the state tint covers the whole button.
GlyphPlacement IconLeftFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    FlatFrame(p, r, state, factor);
    const qreal side = std::min(r.height() * 0.72, r.width());
    const QRectF box(r.left() + (r.height() - side) / 2, r.center().y() - side / 2, side, side);
    return {box, InkOf(state)};
}

GlyphPlacement PrimaryFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    QColor fill = kBlue;
    if (state.contains(QStringLiteral("hover"))) {
        fill = kBlueHover;
    } else if (state.contains(QStringLiteral("pressed"))) {
        fill = kBluePressed;
    } else if (state.startsWith(QStringLiteral("disabled"))) {
        fill = QColor(169, 198, 239);
    }
    RoundedFill(p, r, 3, fill);
    return {CentredSquare(r, 0.6), kWhite};
}

GlyphPlacement SecondaryFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    QColor fill = kWhite;
    QColor border = kLine;
    if (state.contains(QStringLiteral("hover"))) {
        fill = QColor(242, 247, 254);
        border = kBlue;
    } else if (state.contains(QStringLiteral("pressed"))) {
        fill = kBlueTintPressed;
        border = kBluePressed;
    } else if (state.startsWith(QStringLiteral("disabled"))) {
        fill = QColor(245, 245, 245);
        border = QColor(224, 224, 224);
    }
    RoundedFill(p, r, 3, fill, border);
    return {CentredSquare(r, 0.6), InkOf(state)};
}

// Outlined accent button (the rows' "enter" buttons): blue outline, filled on hover.
GlyphPlacement OutlineFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    if (state.contains(QStringLiteral("hover")) || state.contains(QStringLiteral("pressed"))) {
        RoundedFill(p, r, r.height() / 2,
                    state.contains(QStringLiteral("pressed")) ? kBluePressed : kBlue);
        return {CentredSquare(r, 0.6), kWhite};
    }
    RoundedFill(p, r, r.height() / 2, kWhite, kBlue);
    return {CentredSquare(r, 0.6), kBlue};
}

GlyphPlacement LinkFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // A text link: only an underline, darker when hovered or pressed.
    const QColor color = state == QStringLiteral("normal") ? kBlue : kBluePressed;
    p.setPen(QPen(color, factor));
    p.drawLine(QPointF(r.left() + factor, r.bottom() - factor),
               QPointF(r.right() - factor, r.bottom() - factor));
    return {CentredSquare(r, 0.6), color};
}

GlyphPlacement CheckFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    const QRectF box = CentredSquare(r, 0.92);
    if (state.startsWith(QStringLiteral("on"))) {
        RoundedFill(p, box, 2 * factor, kBlue);
        return {box.adjusted(box.width() * 0.12, box.height() * 0.12, -box.width() * 0.12,
                             -box.height() * 0.12),
                kWhite};
    }
    RoundedFill(p, box, 2 * factor, kWhite,
                state.contains(QStringLiteral("hover")) ? kBlue : QColor(176, 184, 196));
    return {box, Qt::transparent};
}

GlyphPlacement RadioFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    const QRectF box =
        CentredSquare(r, 0.92).adjusted(0.5 * factor, 0.5 * factor, -0.5 * factor, -0.5 * factor);
    const bool on = state.startsWith(QStringLiteral("on"));
    p.setPen(QPen(on ? kBlue : QColor(176, 184, 196), factor));
    p.setBrush(kWhite);
    p.drawEllipse(box);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        const qreal inset = box.width() * 0.27;
        p.drawEllipse(box.adjusted(inset, inset, -inset, -inset));
    }
    return {box, Qt::transparent};
}

GlyphPlacement SwitchFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    const bool on = state.startsWith(QStringLiteral("on"));
    const QRectF track = r.adjusted(factor, factor, -factor, -factor);
    RoundedFill(p, track, track.height() / 2, on ? kBlue : QColor(200, 206, 214));
    const qreal knob = track.height() - 2 * factor;
    const qreal x = on ? track.right() - factor - knob : track.left() + factor;
    p.setBrush(kWhite);
    p.drawEllipse(QRectF(x, track.top() + factor, knob, knob));
    return {track, Qt::transparent};
}

GlyphPlacement PanelFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Pop-up backgrounds: white (or dark for the full-screen controls) with a soft border.
    const bool dark = state.startsWith(QStringLiteral("dark"));
    const QColor fill = dark ? QColor(43, 47, 54, 235) : kWhite;
    const QColor border = dark ? QColor(70, 76, 86) : QColor(214, 220, 229);
    p.setPen(QPen(border, factor));
    p.setBrush(fill);
    const QRectF card = r.adjusted(0.5 * factor, 0.5 * factor, -0.5 * factor, -0.5 * factor);
    p.drawRoundedRect(card, 4 * factor, 4 * factor);
    if (state == QStringLiteral("accent")) {
        // Notices: a caption-blue bar down the left edge, inside the rounded corners.
        QPainterPath shape;
        shape.addRoundedRect(card, 4 * factor, 4 * factor);
        p.save();
        p.setClipPath(shape);
        p.fillRect(QRectF(r.left(), r.top(), 4 * factor, r.height()), kBlue);
        p.restore();
    }
    return {CentredSquare(r, 0.5), dark ? kWhite : kInk};
}

GlyphPlacement BandFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // Plain fills: caption blue bands, light header bands and separators.
    QColor fill = kBlue;
    if (state == QStringLiteral("light")) {
        fill = QColor(246, 248, 251);
    } else if (state == QStringLiteral("line")) {
        fill = QColor(229, 229, 229);
    } else if (state == QStringLiteral("dark")) {
        fill = QColor(51, 51, 51);
    } else if (state == QStringLiteral("translucent")) {
        fill = QColor(0, 0, 0, 40);
    } else if (state == QStringLiteral("white")) {
        fill = kWhite;
    }
    p.fillRect(r, fill);
    return {CentredSquare(r, 0.6), kWhite};
}

GlyphPlacement GradientFrame(QPainter& p, const QRectF& r, const QString&, qreal factor) {
    // The conference list header under the blue caption: a light tint of the caption blue, so
    // that the blue user name and the grey sign-out caption painted on it stay readable, with
    // a fine line where the white list begins.
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, QColor(228, 238, 252));
    gradient.setColorAt(0.4, QColor(246, 249, 255));
    gradient.setColorAt(1, QColor(250, 252, 255));
    p.fillRect(r, gradient);
    p.fillRect(QRectF(r.left(), r.bottom() - factor, r.width(), factor), QColor(214, 228, 248));
    return {CentredSquare(r, 0.4), QColor(51, 133, 237, 60)};
}

GlyphPlacement LoginFrame(QPainter& p, const QRectF& r, const QString&, qreal factor) {
    // Login page backgrounds: a blue header band over a white card.
    p.fillRect(r, kWhite);
    QLinearGradient gradient(r.topLeft(), r.topRight());
    gradient.setColorAt(0, QColor(64, 146, 242));
    gradient.setColorAt(1, QColor(36, 105, 201));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 56 * factor), gradient);
    p.setPen(QPen(QColor(214, 220, 229), factor));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5 * factor, 0.5 * factor, -0.5 * factor, -0.5 * factor));
    return {QRectF(), Qt::transparent};
}

GlyphPlacement BubbleFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Chat bubbles: own messages light blue, others' light grey; sliced by the painter.
    const bool own = state == QStringLiteral("own");
    RoundedFill(p, r.adjusted(factor, factor, -factor, -factor), 10 * factor,
                own ? QColor(214, 232, 255) : QColor(240, 242, 245));
    return {QRectF(), Qt::transparent};
}

GlyphPlacement TabFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Document page tabs: a white tab, blue top edge when it is the current one.
    const bool checked = state.startsWith(QStringLiteral("on"));
    const QRectF tab = r.adjusted(factor, 2 * factor, -factor, 0);
    RoundedFill(p, tab, 3 * factor, checked ? kWhite : QColor(236, 238, 241));
    if (checked) {
        p.fillRect(QRectF(tab.left(), tab.top(), tab.width(), 2 * factor),
                   state.contains(QStringLiteral("hover")) ? kBlueHover : kBlue);
    }
    return {QRectF(), Qt::transparent};
}

GlyphPlacement BadgeFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // A round badge filled with the accent (or the state colour), white glyph.
    QColor fill = kBlue;
    if (state.contains(QStringLiteral("hover"))) {
        fill = kBlueHover;
    } else if (state.contains(QStringLiteral("pressed"))) {
        fill = kBluePressed;
    } else if (state.startsWith(QStringLiteral("off"))) {
        fill = QColor(120, 128, 140, 200);
    } else if (state.startsWith(QStringLiteral("disabled"))) {
        fill = kDisabled;
    }
    const QRectF circle = CentredSquare(r, 0.96);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(circle);
    return {CentredSquare(r, 0.56), kWhite};
}

GlyphPlacement LogoFrame(QPainter& p, const QRectF& r, const QString& state, qreal) {
    // The product mark: a rounded blue square with a white camera, and the name beside it
    // when the image is wide enough.
    const bool onBlue = state == QStringLiteral("white");
    const qreal side = std::min(r.height(), r.width());
    const QRectF mark(r.left(), r.center().y() - side / 2, side, side);
    RoundedFill(p, mark, side * 0.22, onBlue ? kWhite : kBlue);
    DrawGlyph(p, QStringLiteral("video-on"), CentredSquare(mark, 0.66), onBlue ? kBlue : kWhite,
              1.0);
    if (r.width() > side * 2) {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(static_cast<int>(side * 0.62));
        font.setBold(true);
        p.setFont(font);
        p.setPen(onBlue ? kWhite : kBlue);
        p.drawText(QRectF(mark.right() + side * 0.25, r.top(), r.width() - side * 1.25, r.height()),
                   Qt::AlignVCenter | Qt::AlignLeft,
                   state.isEmpty() || onBlue ? QStringLiteral("Yav") : state);
    }
    return {QRectF(), Qt::transparent};
}

GlyphPlacement AvatarFrame(QPainter& p, const QRectF& r, const QString&, qreal) {
    const QRectF circle = CentredSquare(r, 0.96);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlueTint);
    p.drawEllipse(circle);
    return {CentredSquare(r, 0.7), kBlue};
}

GlyphPlacement SearchBoxFrame(QPainter& p, const QRectF& r, const QString&, qreal factor) {
    // The list paints this 126 x 48 picture with the 93 x 22 search edit 30 in and 15 down:
    // the field encloses the edit (x 30 to 123, y 15 to 37) with 3 to spare above, below and
    // on the right, where the border runs clear of it, and the magnifier stands in the 30
    // pixels left of it. The field's right end is square.
    const QRectF field =
        QRectF(r.left() + 2 * factor, r.top() + 12 * factor, r.width() - 2 * factor, 28 * factor)
            .adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(field, 4 * factor, 4 * factor);
    QPainterPath squareEnd;
    squareEnd.addRect(field.adjusted(field.width() / 2, 0, 0, 0));
    p.setPen(QPen(QColor(190, 208, 235), 1.0));
    p.setBrush(kWhite);
    p.drawPath(outline.united(squareEnd));
    const qreal side = 15 * factor;
    return {QRectF(r.left() + 10 * factor, field.center().y() - side / 2, side, side),
            QColor(150, 158, 170)};
}

GlyphPlacement EmptyFrame(QPainter& p, const QRectF& r, const QString&, qreal) {
    // The "nothing here" illustration: a soft circle behind a large outlined glyph.
    p.setPen(Qt::NoPen);
    p.setBrush(kBlueTint);
    p.drawEllipse(CentredSquare(r, 0.9));
    return {CentredSquare(r, 0.5), QColor(150, 180, 225)};
}

GlyphPlacement LineFrame(QPainter& p, const QRectF& r, const QString&, qreal factor) {
    p.fillRect(QRectF(r.left(), r.center().y() - factor / 2, r.width(), factor),
               QColor(229, 229, 229));
    return {QRectF(), Qt::transparent};
}

GlyphPlacement MarkerFrame(QPainter& p, const QRectF& r, const QString&, qreal) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(r);
    return {QRectF(), Qt::transparent};
}

GlyphPlacement SliderFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Slider parts: the track ("track"), the filled channel ("channel") and the thumb.
    const bool vertical = r.height() > r.width();
    if (state == QStringLiteral("thumb")) {
        p.setPen(QPen(kBlue, 1.5 * factor));
        p.setBrush(kWhite);
        p.drawEllipse(CentredSquare(r, 0.85));
        return {QRectF(), Qt::transparent};
    }
    const QColor color = state == QStringLiteral("channel") ? kBlue : QColor(210, 215, 222);
    const qreal thickness = 4 * factor;
    const QRectF bar = vertical
                           ? QRectF(r.center().x() - thickness / 2, r.top(), thickness, r.height())
                           : QRectF(r.left(), r.center().y() - thickness / 2, r.width(), thickness);
    RoundedFill(p, bar, thickness / 2, color);
    return {QRectF(), Qt::transparent};
}

GlyphPlacement MeterFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Level meter bars: unlit grey, lit green.
    RoundedFill(p, r.adjusted(factor, 0, -factor, 0), factor,
                state == QStringLiteral("on") ? kGreen : QColor(220, 224, 230));
    return {QRectF(), Qt::transparent};
}

GlyphPlacement TestFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Frames of the device test's playing animation: a disc with a sweep of state/9 turns.
    bool isNumber = false;
    const int frame = state.toInt(&isNumber);
    const QRectF disc = CentredSquare(r, 0.8);
    p.setPen(QPen(QColor(220, 228, 240), 6 * factor));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc.adjusted(3 * factor, 3 * factor, -3 * factor, -3 * factor));
    if (isNumber) {
        p.setPen(QPen(kBlue, 6 * factor, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(disc.adjusted(3 * factor, 3 * factor, -3 * factor, -3 * factor), 90 * 16,
                  -static_cast<int>(360 * 16 * (frame + 1) / 9.0));
    }
    return {CentredSquare(r, 0.36), kBlue};
}

GlyphPlacement TooltipFrame(QPainter& p, const QRectF& r, const QString& state, qreal factor) {
    // Pieces of the image buttons' tooltip strip (left cap, stretched middle, right cap),
    // opaque like the bitmaps they stand for: a light blue tint inside a caption-blue hairline,
    // the caps' corner pixels softened so that the strip looks rounded.
    const QColor border(153, 187, 232);
    const QColor corner(196, 216, 243);
    p.fillRect(r, kBlueTint);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), factor), border);
    p.fillRect(QRectF(r.left(), r.bottom() - factor, r.width(), factor), border);
    if (state == QStringLiteral("left") || state == QStringLiteral("right")) {
        const qreal x = state == QStringLiteral("left") ? r.left() : r.right() - factor;
        p.fillRect(QRectF(x, r.top(), factor, r.height()), border);
        p.fillRect(QRectF(x, r.top(), factor, factor), corner);
        p.fillRect(QRectF(x, r.bottom() - factor, factor, factor), corner);
    }
    return {QRectF(), Qt::transparent};
}

const std::map<QString, Frame>& Frames() {
    static const std::map<QString, Frame> frames = {
        {"flat", FlatFrame},
        {"icon", IconFrame},
        {"caption", CaptionFrame},
        {"dark", DarkFrame},
        {"iconleft", IconLeftFrame},
        {"primary", PrimaryFrame},
        {"darkleft", DarkIconLeftFrame},
        {"secondary", SecondaryFrame},
        {"outline", OutlineFrame},
        {"link", LinkFrame},
        {"check", CheckFrame},
        {"radio", RadioFrame},
        {"switch", SwitchFrame},
        {"panel", PanelFrame},
        {"band", BandFrame},
        {"gradient", GradientFrame},
        {"login", LoginFrame},
        {"bubble", BubbleFrame},
        {"tab", TabFrame},
        {"badge", BadgeFrame},
        {"logo", LogoFrame},
        {"avatar", AvatarFrame},
        {"searchbox", SearchBoxFrame},
        {"empty", EmptyFrame},
        {"line", LineFrame},
        {"marker", MarkerFrame},
        {"slider", SliderFrame},
        {"meter", MeterFrame},
        {"test", TestFrame},
        {"tooltip", TooltipFrame},
    };
    return frames;
}

// The skinned scroll bar bitmap: 9 columns x 3 rows (normal, hover, pressed) of 15-pixel
// cells: up, down, thumb, track (vertical), left, right, thumb, track (horizontal), corner.
void PaintScrollBar(QPainter& p, qreal cell) {
    const QColor thumb[3] = {QColor(193, 199, 208), QColor(160, 170, 184), kBlue};
    const QColor arrow[3] = {QColor(140, 148, 160), kBlue, kBluePressed};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 9; ++column) {
            const QRectF r(column * cell, row * cell, cell, cell);
            p.fillRect(r, QColor(244, 246, 249));
            const bool vertical = column < 4;
            const int part = column % 4;
            if (column == 8) {
                continue;
            }
            if (part == 2) {
                const QRectF bar = vertical ? r.adjusted(cell * 0.25, 1, -cell * 0.25, -1)
                                            : r.adjusted(1, cell * 0.25, -1, -cell * 0.25);
                RoundedFill(p, bar, cell * 0.2, thumb[row]);
            } else if (part < 2) {
                qreal angle = vertical ? (part == 0 ? -90 : 90) : (part == 0 ? 180 : 0);
                p.save();
                p.translate(r.center());
                p.rotate(angle);
                p.setPen(Qt::NoPen);
                p.setBrush(arrow[row]);
                const qreal s = cell / 15.0;
                p.drawPolygon(QPolygonF(
                    {QPointF(-2 * s, -3.5 * s), QPointF(2.5 * s, 0), QPointF(-2 * s, 3.5 * s)}));
                p.restore();
            }
        }
    }
}

}  // namespace

QImage PaintImage(const ImageSpec& spec, int factor, QString* error) {
    QImage image(spec.width * factor, spec.height * factor, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF area(0, 0, image.width(), image.height());

    if (spec.style == QStringLiteral("scrollbar")) {
        PaintScrollBar(p, image.width() / 9.0);
        return image;
    }
    const auto frame = Frames().find(spec.style);
    if (frame == Frames().end()) {
        *error = QStringLiteral("image %1: unknown style \"%2\"").arg(spec.id).arg(spec.style);
        p.fillRect(area, Qt::magenta);
        return image;
    }
    const GlyphPlacement placement = frame->second(p, area, spec.state, factor);
    if (!spec.glyph.isEmpty() && !placement.box.isEmpty()) {
        if (!DrawGlyph(p, spec.glyph, placement.box, placement.color, factor)) {
            *error = QStringLiteral("image %1: unknown glyph \"%2\"").arg(spec.id).arg(spec.glyph);
            p.fillRect(placement.box, Qt::magenta);
        }
    }
    return image;
}

QPoint CursorHotSpot(const ImageSpec& spec) {
    return QPoint(spec.width / 2, spec.height / 2);
}

}  // namespace skin
