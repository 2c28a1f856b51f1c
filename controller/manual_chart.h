#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class ManualChart {
public:
    explicit ManualChart(Controller& c) : c_(c) {}
    void Button8Click();
    void Button13Click();
    void Edit5Change();
    void iPlot1DblClickDataView();

private:
    Controller& c_;
};

}  // namespace velmar
