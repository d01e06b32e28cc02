#pragma once

// What the port control tests share: the ports the list offers, and a user's pick in a combo.

#include "serial/CPortCtl.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

// Puts TARVEX_PORTS to Value for one test and restores it afterwards.
class TScopedPortList {
public:
    explicit TScopedPortList(const std::string& Value) {
        if (const char* Saved = std::getenv("TARVEX_PORTS"))
            FSaved = Saved;
        setenv("TARVEX_PORTS", Value.c_str(), 1);
    }
    ~TScopedPortList() {
        if (FSaved)
            setenv("TARVEX_PORTS", FSaved->c_str(), 1);
        else
            unsetenv("TARVEX_PORTS");
    }
    TScopedPortList(const TScopedPortList&) = delete;
    TScopedPortList& operator=(const TScopedPortList&) = delete;

private:
    std::optional<std::string> FSaved;
};

// What the combo sees when the user picks the item Text: the selection moves and activated()
// is emitted.
inline void Choose(TComComboBox& Combo, const std::string& Text) {
    const int Index = Combo.findText(QString::fromStdString(Text));
    ASSERT_GE(Index, 0) << Text;
    Combo.setCurrentIndex(Index);
    emit Combo.activated(Index);
}
