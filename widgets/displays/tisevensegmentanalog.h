#pragma once

#include "platform/named_colours.h"
#include "widgets/displays/segment_glyphs.h"

#include <QChar>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

namespace velmar {

// What each cell of the readout shows, as a function of the value alone.
struct SevenSegmentCells {
    QChar sign;           // '+' or '-' for the sign cell; null without a sign cell
    QString digits;       // one character per digit cell; a blank is a dark cell
    int pointAfter = -1;  // the separator stands in the gap after this digit cell; -1: none
    QChar point;          // the separator drawn there ('.' or ',')

    bool operator==(const SevenSegmentCells&) const = default;
};

// Where the cells sit inside the control.
struct SevenSegmentLayout {
    int cellWidth = 0;
    int cellHeight = 0;
    int left = 0;  // x of the first cell; the row is centred
    int top = 0;
    int spacing = 0;
    int cellLeft(int cell) const { return left + cell * (cellWidth + spacing); }
};

class TiSevenSegmentAnalog : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Value READ value WRITE setValue NOTIFY OnValueChange)
    Q_PROPERTY(int DigitCount READ digitCount WRITE setDigitCount)
    Q_PROPERTY(int Precision READ precision WRITE setPrecision)
    Q_PROPERTY(bool ShowSign READ showSign WRITE setShowSign)
    Q_PROPERTY(TLeadingStyle LeadingStyle READ leadingStyle WRITE setLeadingStyle)
    Q_PROPERTY(QColor SegmentColor READ segmentColor WRITE setSegmentColor)
    Q_PROPERTY(bool AutoSegmentOffColor READ autoSegmentOffColor WRITE setAutoSegmentOffColor)
    Q_PROPERTY(QColor SegmentOffColor READ segmentOffColor WRITE setSegmentOffColor)
    Q_PROPERTY(bool ShowOffSegments READ showOffSegments WRITE setShowOffSegments)
    Q_PROPERTY(bool PowerOff READ powerOff WRITE setPowerOff)
    Q_PROPERTY(int DigitSpacing READ digitSpacing WRITE setDigitSpacing)
    Q_PROPERTY(int SegmentMargin READ segmentMargin WRITE setSegmentMargin)
    Q_PROPERTY(int SegmentSize READ segmentSize WRITE setSegmentSize)
    Q_PROPERTY(int SegmentSeperation READ segmentSeperation WRITE setSegmentSeperation)
    Q_PROPERTY(QColor BackGroundColor READ backGroundColor WRITE setBackGroundColor)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
public:
    enum TLeadingStyle { ilsNone, ilsZeros, ilsSpaces };
    Q_ENUM(TLeadingStyle)

    static constexpr double MaxValue = 1e15;

    explicit TiSevenSegmentAnalog(QWidget* parent = nullptr);

    double value() const { return value_; }
    void setValue(double value);

    int digitCount() const { return digitCount_; }
    void setDigitCount(int count);  // held within 1 ... 32
    int precision() const { return precision_; }
    void setPrecision(int precision);  // held within 0 ... 13
    bool showSign() const { return showSign_; }
    void setShowSign(bool show);
    TLeadingStyle leadingStyle() const { return leadingStyle_; }
    void setLeadingStyle(TLeadingStyle style);
    QColor segmentColor() const { return segmentColor_; }
    void setSegmentColor(const QColor& color);
    bool autoSegmentOffColor() const { return autoSegmentOffColor_; }
    void setAutoSegmentOffColor(bool automatic);
    QColor segmentOffColor() const { return segmentOffColor_; }
    void setSegmentOffColor(const QColor& color);
    bool showOffSegments() const { return showOffSegments_; }
    void setShowOffSegments(bool show);
    bool powerOff() const { return powerOff_; }
    void setPowerOff(bool off);
    int digitSpacing() const { return digitSpacing_; }
    void setDigitSpacing(int spacing);
    int segmentMargin() const { return segmentMargin_; }
    void setSegmentMargin(int margin);
    int segmentSize() const { return segmentSize_; }
    void setSegmentSize(int size);
    int segmentSeperation() const { return segmentSeperation_; }
    void setSegmentSeperation(int separation);
    QColor backGroundColor() const { return backGroundColor_; }
    void setBackGroundColor(const QColor& color);
    // Stored only: the readout keeps the size it was given.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool automatic) { autoSize_ = automatic; }

    // The colour unlit segments are drawn in.
    QColor effectiveSegmentOffColor() const;

    // While loading, values are stored without raising OnValueChange.
    void beginLoading() { loading_ = true; }
    void endLoading() { loading_ = false; }

    QSize sizeHint() const override { return {140, 36}; }

signals:
    void OnValueChange();
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Draws the whole readout; an exception thrown here is shown inside the control.
    virtual void paintContent(QPainter& painter);

private:
    void invalidateLayout();
    void invalidateStatic();
    void ensureLayout();
    void ensureStaticLayer(qreal dpr);

    double value_ = 0;
    int digitCount_ = 4;
    int precision_ = 2;
    bool showSign_ = true;
    TLeadingStyle leadingStyle_ = ilsSpaces;
    QColor segmentColor_ = colours::White;
    bool autoSegmentOffColor_ = true;
    QColor segmentOffColor_ = colours::Gray;
    bool showOffSegments_ = true;
    bool powerOff_ = false;
    int digitSpacing_ = 6;
    int segmentMargin_ = 5;
    int segmentSize_ = 1;
    int segmentSeperation_ = 1;
    QColor backGroundColor_ = colours::Black;
    bool autoSize_ = true;
    bool loading_ = false;

    // Geometry of the cells and the separator, rebuilt when the size or a sizing property
    // changes; the static layer (background and unlit segments) is cached on top of it.
    bool layoutValid_ = false;
    SevenSegmentLayout layout_;
    std::vector<segments::SegmentGlyph> glyphs_;  // sign cell first when shown
    segments::SeparatorGlyph separator_;
    QChar separatorChar_;
    QPixmap staticLayer_;
    bool staticValid_ = false;
};

// A requested value as the readout stores it: anything above MaxValue, and NaN, become MaxValue;
// minus infinity becomes -MaxValue so the stored value stays a finite number.
double sevenSegmentStoredValue(double requested);

// The cells for `value` (digitCount and precision already within their limits).
SevenSegmentCells sevenSegmentCells(double value, int digitCount, int precision, bool showSign,
                                    TiSevenSegmentAnalog::TLeadingStyle leading,
                                    QChar decimalPoint);

SevenSegmentLayout sevenSegmentLayout(QSize size, int cellCount, int margin, int spacing);

// The unlit colour derived from a segment colour: a third of each channel.
QColor thirdOfColor(const QColor& color);

}  // namespace velmar
