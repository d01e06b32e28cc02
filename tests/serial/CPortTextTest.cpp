#include "serial/CPortText.h"

#include <gtest/gtest.h>

TEST(CPortText, ForwardTexts) {
    EXPECT_EQ(BaudRateText(br19200), "19200");
    EXPECT_EQ(BaudRateText(brCustom), "Custom");
    EXPECT_EQ(BaudRateText(br256000), "256000");
    EXPECT_EQ(StopBitsText(sbOne5StopBits), "1.5");
    EXPECT_EQ(DataBitsText(dbFive), "5");
    EXPECT_EQ(ParityText(prSpace), "Space");
    EXPECT_EQ(FlowControlText(fcSoftware), "Software");
    EXPECT_EQ(DTRControlText(dtrHandshake), "Handshake");
    EXPECT_EQ(RTSControlText(rtsToggle), "Toggle");
}

TEST(CPortText, ReverseIgnoresLetterCaseAndFallsBackToDefaults) {
    EXPECT_EQ(ParityFromText("even"), prEven);
    EXPECT_EQ(BaudRateFromText("custom"), brCustom);
    EXPECT_EQ(BaudRateFromText("115200"), br115200);
    EXPECT_EQ(BaudRateFromText(" 9600"), br9600);
    EXPECT_EQ(BaudRateFromText("31250"), br9600);
    EXPECT_EQ(StopBitsFromText("1.5"), sbOne5StopBits);
    EXPECT_EQ(StopBitsFromText("3"), sbOneStopBit);
    EXPECT_EQ(DataBitsFromText("x"), dbEight);
    EXPECT_EQ(ParityFromText("Ungerade"), prNone);
    EXPECT_EQ(FlowControlFromText("HARDWARE"), fcHardware);
    EXPECT_EQ(FlowControlFromText("rts/cts"), fcCustom);
    EXPECT_EQ(DTRControlFromText("ENABLE"), dtrEnable);
    EXPECT_EQ(DTRControlFromText(""), dtrDisable);
    EXPECT_EQ(RTSControlFromText("toggle"), rtsToggle);
    EXPECT_EQ(RTSControlFromText("on"), rtsDisable);
}

TEST(CPortText, EveryForwardTextReadsBack) {
    for (int i = brCustom; i <= br256000; ++i)
        EXPECT_EQ(BaudRateFromText(BaudRateText(TBaudRate(i))), i);
    for (int i = fcHardware; i <= fcCustom; ++i)
        EXPECT_EQ(FlowControlFromText(FlowControlText(TFlowControl(i))), i);
    for (int i = rtsDisable; i <= rtsToggle; ++i)
        EXPECT_EQ(RTSControlFromText(RTSControlText(TRTSFlowControl(i))), i);
}

TEST(CPortText, YesNoAndCharacters) {
    EXPECT_EQ(YesNoText(true), "Yes");
    EXPECT_EQ(YesNoText(false), "No");
    EXPECT_TRUE(YesNoFromText("yes"));
    EXPECT_FALSE(YesNoFromText("Y"));
    EXPECT_FALSE(YesNoFromText("yes "));
    EXPECT_EQ(CharText(19), "#19");
    EXPECT_EQ(CharText(' '), "#32");
    EXPECT_EQ(CharText('A'), "A");
    EXPECT_EQ(CharText(127), "\x7F");
    EXPECT_EQ(CharText(static_cast<char>(200)), "#200");
    EXPECT_EQ(CharFromText("#"), '#');
    EXPECT_EQ(CharFromText(""), 0);
    EXPECT_EQ(CharFromText("Ab"), 'A');
    for (int Code = 0; Code < 256; ++Code)
        EXPECT_EQ(CharFromText(CharText(static_cast<char>(Code))), static_cast<char>(Code));
}

TEST(CPortText, CharFromTextTakesTheCodeInDecimalDigitsOnly) {
    const std::pair<const char*, int> Cases[] = {
        {"#19", 19}, {"#007", 7}, {"#300", 44},       {"#0x13", 0}, {"#0X13", 0},
        {"#$13", 0}, {"# 19", 0}, {"#19 ", 0},        {"#+19", 0},  {"#-1", 0},
        {"#1e1", 0}, {"#x", 0},   {"#99999999999", 0}};
    for (const auto& [Text, Code] : Cases)
        EXPECT_EQ(CharFromText(Text), static_cast<char>(Code)) << Text;
}
