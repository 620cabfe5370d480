#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QSet>
#include <QTest>

#include <algorithm>

#include "gui/windows/HelpView.h"
#include "shared/text/DesktopWords.h"

using namespace quillet;

namespace {

// The section cards from top to bottom as laid out.
QList<QWidget*> sectionsInPlace(const HelpView& view) {
    QList<QWidget*> sections = view.findChildren<QWidget*>(QStringLiteral("helpSection"));
    std::sort(sections.begin(), sections.end(), [&](QWidget* a, QWidget* b) {
        return a->mapTo(&view, QPoint()).y() < b->mapTo(&view, QPoint()).y();
    });
    return sections;
}

QWidget* section(const HelpView& view, const QString& title) {
    for (QWidget* s : sectionsInPlace(view)) {
        if (s->property("sectionTitle").toString() == title) return s;
    }
    return nullptr;
}

int topInViewport(const HelpView& view, QWidget* widget) {
    auto* viewport = view.findChild<QScrollArea*>()->viewport();
    return widget->mapTo(viewport, QPoint()).y();
}

TEST(HelpViewTest, ShowsTheVersionAndEverySectionInOrderBelowTheCards) {
    HelpView view("Version 1.4.2", DesktopWords::forDesktop("GNOME"));
    view.resize(720, 640);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("versionLine"))->text(), "Version 1.4.2");

    QStringList titles;
    for (QWidget* s : sectionsInPlace(view)) titles << s->property("sectionTitle").toString();
    EXPECT_EQ(titles, (QStringList{"Where Create File Works", "Supported Files", "File Manager Menu Troubleshooting",
                                   "Folder Access", "File Naming", "Uninstalling"}));

    // Two columns of summary cards, all above the first section; sections span one width.
    const auto cards = view.findChildren<QWidget*>(QStringLiteral("helpCard"));
    ASSERT_EQ(cards.size(), 4);
    QSet<int> columns;
    for (QWidget* card : cards) {
        columns.insert(card->x());
        EXPECT_LT(card->geometry().bottom(), sectionsInPlace(view).first()->y());
    }
    EXPECT_EQ(columns.size(), 2);
    for (QWidget* s : sectionsInPlace(view)) EXPECT_EQ(s->width(), sectionsInPlace(view).first()->width());
}

TEST(HelpViewTest, ScrollsTheExtensionSectionToTheTopAskedBeforeOrAfterShowing) {
    HelpView early("Version 1.0.0", DesktopWords{});
    early.resize(720, 480);
    early.scrollToExtensionSection();
    early.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&early));
    QWidget* target = section(early, QStringLiteral("File Manager Menu Troubleshooting"));
    ASSERT_TRUE(target);
    EXPECT_TRUE(QTest::qWaitFor([&] { return topInViewport(early, target) == HelpView::kScrollTargetMargin; }, 2000))
        << topInViewport(early, target);

    HelpView late("Version 1.0.0", DesktopWords{});
    late.resize(720, 480);
    late.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&late));
    target = section(late, QStringLiteral("File Manager Menu Troubleshooting"));
    EXPECT_GT(topInViewport(late, target), 480);
    late.scrollToExtensionSection();
    EXPECT_EQ(topInViewport(late, target), HelpView::kScrollTargetMargin);
}

}  // namespace
