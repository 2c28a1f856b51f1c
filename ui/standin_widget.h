#pragma once

#include <QWidget>

namespace velmar {

// Holds the place of an instrument control that is not built yet: the name, class name and
// geometry are right, the face is a plain outline with the class name.
class StandInWidget : public QWidget {
    Q_OBJECT
public:
    StandInWidget(const QString& className, QWidget* parent);
    QString className() const { return className_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString className_;
};

}  // namespace velmar
