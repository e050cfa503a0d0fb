#include "widgets/ui_layout.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace platine {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

void moveTwips(QWidget *widget, int left, int top)
{
    widget->move(twipsToPixels(left), twipsToPixels(top));
}

QString controlArrayName(const QString &baseName, int index)
{
    return baseName + u'_' + QString::number(index);
}

void usePanelFont(QWidget *widget, int pixelSize)
{
    QFont font = widget->font();
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}

void shrinkFontToFit(QWidget *widget, const QStringList &texts, int minPixelSize,
                     int availableWidth)
{
    QFont font = widget->font();
    const int available = availableWidth >= 0 ? availableWidth : widget->contentsRect().width();
    auto widest = [&texts](const QFont &candidate) {
        const QFontMetrics metrics(candidate);
        int width = 0;
        for (const QString &text : texts)
            width = std::max(width, metrics.horizontalAdvance(text));
        return width;
    };
    int size = QFontInfo(font).pixelSize();
    while (size > minPixelSize && widest(font) > available) {
        font.setPixelSize(--size);
    }
    widget->setFont(font);
}

void makeOpaque(QWidget *panel)
{
    panel->setAutoFillBackground(true);
}

}  // namespace platine
