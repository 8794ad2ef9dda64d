#include <gtest/gtest.h>

#include "form/controls.h"

using namespace zelk;

TEST(Controls, ProgramSetValuesRaiseTheUsersEventOnlyWhenTheValueChanges) {
    Slider s;
    s.setMax(24);
    int changes = 0;
    s.onChange = [&] { ++changes; };
    s.setValue(12);
    s.setValue(12);
    s.setValue(30);  // clamped to the maximum
    EXPECT_EQ(s.value(), 24);
    EXPECT_EQ(changes, 2);

    ComboBox c;
    c.setItems({"a", "b", "c"});
    int clicks = 0;
    c.onClick = [&] { ++clicks; };
    c.setText("b");
    c.setText("b");
    c.setText("zzz");  // not an item: nothing changes
    c.setListIndex(7);
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks, 1);

    CheckBox k;
    int kc = 0;
    k.onClick = [&] { ++kc; };
    k.setValue(1);
    k.setValue(1);
    k.setValue(0);
    EXPECT_EQ(kc, 2);

    TextBox t;
    int tc = 0;
    t.onChange = [&] { ++tc; };
    t.setText("x");
    t.setText("x");
    EXPECT_EQ(tc, 1);
}

TEST(Controls, OptionGroupKeepsOneChosenAndClicksOnlyTheNewOne) {
    std::array<OptionButton, 3> opts;
    makeOptionGroup(opts);
    std::vector<int> clicked;
    for (int i = 0; i < 3; ++i) opts[i].onClick = [&, i] { clicked.push_back(i); };
    opts[1].setValue(true);
    opts[2].setValue(true);
    opts[2].setValue(true);
    EXPECT_FALSE(opts[0].value());
    EXPECT_FALSE(opts[1].value());
    EXPECT_TRUE(opts[2].value());
    EXPECT_EQ(clicked, (std::vector<int>{1, 2}));
}

TEST(Controls, ObserversSeeEveryPropertyChangeAndDraggingOnlyScrolls) {
    Button b;
    std::vector<Prop> seen;
    b.observe([&](Control&, Prop p) { seen.push_back(p); });
    b.setCaption("Mute");
    b.setBold(true);
    b.setBackColour(kRed);
    b.setBackColour(kRed);
    b.setEnabled(false);
    EXPECT_EQ(seen, (std::vector<Prop>{Prop::Caption, Prop::Bold, Prop::BackColour, Prop::Enabled}));

    Slider s;
    int scrolls = 0, changes = 0;
    s.onScroll = [&] { ++scrolls; };
    s.onChange = [&] { ++changes; };
    s.userScroll(11);
    s.userScroll(10);
    s.userScroll(9);
    EXPECT_EQ(changes, 0);
    s.userRelease();
    EXPECT_EQ(scrolls, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(s.value(), 9);

    Timer t;
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    t.setInterval(1000);
    t.setEnabled(false);
    t.tick();
    t.setEnabled(true);
    t.tick();
    EXPECT_EQ(ticks, 1);
}
