#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <map>

#include "app/settings/AppSettings.h"
#include "app/settings/FileTypesListModel.h"
#include "gui/settings/FileTypeRow.h"
#include "gui/settings/FileTypesListView.h"
#include "gui/settings/SwitchButton.h"
#include "app/settings/SettingNotSavedError.h"
#include "platform/linux/QtMainQueueTimer.h"
#include "shared/settings/DefaultsSuite.h"
#include "tests/support/SettingsLockHolder.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;

namespace {

// The list on the settings of a private suite, shown offscreen.
class FileTypesListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(420, 900);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    FileTypeRow* row(const std::string& id) const {
        for (auto* r : view.rows())
            if (r->type().id == id) return r;
        return nullptr;
    }
    void flip(const std::string& id) {
        SwitchButton* toggle = row(id)->enabledSwitch();
        QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
    }
    // What the suite holds for the enabled set, read without the settings object.
    std::set<std::string> storedEnabled() const {
        std::set<std::string> ids;
        auto value = suite->get("enabledFileTypeIDs");
        if (!value || !value->array()) return {"(not an array)"};
        for (const auto& element : *value->array()) ids.insert(element.string() ? *element.string() : "(?)");
        return ids;
    }
    std::map<std::string, DefaultsValue> everyKeyBut(const std::string& skipped) const {
        std::map<std::string, DefaultsValue> all;
        for (const auto& key : suite->keys())
            if (key != skipped) all.emplace(key, *suite->get(key));
        return all;
    }
    QStringList headings() const {
        QStringList texts;
        for (auto* label : view.findChildren<QLabel*>(QStringLiteral("sectionHeading"))) texts << label->text();
        return texts;
    }

    test::TemporaryConfigHome home;
    std::unique_ptr<DefaultsSuite> suite = DefaultsSuite::open(home.path(), DefaultsSuite::kSharedSuiteName);
    AppSettings settings{*suite};
    FileTypesListModel model{settings};
    FileTypesListView view{model};
};

}  // namespace

TEST_F(FileTypesListViewTest, AFreshInstallationShowsSixteenSwitchesOnInCatalogOrder) {
    EXPECT_EQ(headings(), (QStringList{"Plain Text", "Code", "Office"}));
    std::vector<std::string> ids;
    for (auto* r : view.rows()) {
        ids.push_back(r->type().id);
        EXPECT_TRUE(r->enabledSwitch()->isChecked()) << r->type().id;
        EXPECT_TRUE(r->enabledSwitch()->text().isEmpty());
        EXPECT_EQ(r->enabledSwitch()->accessibleName().toStdString(), r->type().displayName);
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"txt", "md", "rtf", "csv", "json", "yaml", "xml", "html", "css", "js",
                                             "sh", "py", "swift", "docx", "xlsx", "pptx"}));
    EXPECT_EQ(row("md")->findChild<QLabel*>(QStringLiteral("fileTypeName"))->text(), "Markdown");
    EXPECT_EQ(row("md")->findChild<QLabel*>(QStringLiteral("fileTypeExtension"))->text(), ".md");
}

TEST_F(FileTypesListViewTest, ASwitchWritesTheEnabledSetAtOnceAndNothingElse) {
    const auto before = everyKeyBut("enabledFileTypeIDs");
    flip("md");
    std::set<std::string> expected;
    for (auto* r : view.rows()) expected.insert(r->type().id);
    expected.erase("md");
    EXPECT_EQ(storedEnabled(), expected);
    EXPECT_FALSE(row("md")->enabledSwitch()->isChecked());
    EXPECT_EQ(everyKeyBut("enabledFileTypeIDs"), before);

    flip("md");
    expected.insert("md");
    EXPECT_EQ(storedEnabled(), expected);
    EXPECT_TRUE(row("md")->enabledSwitch()->isChecked());
    EXPECT_EQ(everyKeyBut("enabledFileTypeIDs"), before);

    // The keyboard flips it too.
    row("py")->enabledSwitch()->setFocus();
    QTest::keyClick(row("py")->enabledSwitch(), Qt::Key_Space);
    EXPECT_EQ(storedEnabled().count("py"), 0u);
}

TEST_F(FileTypesListViewTest, EverySwitchMayBeOffAndThatPersistsAsAnEmptyArray) {
    const std::vector<FileTypeRow*> rows = view.rows();
    for (auto* r : rows) flip(r->type().id);
    auto value = suite->get("enabledFileTypeIDs");
    ASSERT_TRUE(value && value->array());
    EXPECT_TRUE(value->array()->empty());
    for (auto* r : view.rows()) EXPECT_FALSE(r->enabledSwitch()->isChecked()) << r->type().id;

    // Read back as it would be at the next launch: still nothing on.
    AppSettings reloaded(*suite);
    EXPECT_TRUE(reloaded.enabledFileTypeIDs->empty());
    FileTypesListModel reloadedModel(reloaded);
    FileTypesListView again(reloadedModel);
    for (auto* r : again.rows()) EXPECT_FALSE(r->enabledSwitch()->isChecked()) << r->type().id;
}

TEST_F(FileTypesListViewTest, ChangesMadeElsewhereRedrawTheList) {
    FileTypeRow* markdown = row("md");
    settings.setEnabled(false, "md");
    EXPECT_EQ(row("md"), markdown);  // switched in place, not rebuilt
    EXPECT_FALSE(markdown->enabledSwitch()->isChecked());

    auto order = settings.fileTypeOrder.get();
    std::swap(order[0], order[1]);  // Markdown before Text
    settings.fileTypeOrder.set(order);
    ASSERT_GE(view.rows().size(), 2u);
    EXPECT_EQ(view.rows()[0]->type().id, "md");
    EXPECT_EQ(view.rows()[1]->type().id, "txt");
    EXPECT_FALSE(view.rows()[0]->enabledSwitch()->isChecked());
    EXPECT_EQ(headings(), (QStringList{"Plain Text", "Code", "Office"}));
}

// The kernel refuses to let the settings file grow (a file size limit, as a full disk or a quota
// would): the flipped switch goes back to what is stored, and the refusal is reported once.
TEST_F(FileTypesListViewTest, AFlipThatCannotBeStoredGoesBackAndIsReported) {
    std::vector<std::string> reports;
    settings.saver().reportFailuresTo([&](const SettingNotSavedError& e) { reports.push_back(e.description()); });
    rlimit original{};
    ::getrlimit(RLIMIT_FSIZE, &original);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny{1, original.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    flip("md");
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(row("md")->enabledSwitch()->isChecked());
    EXPECT_FALSE(suite->get("enabledFileTypeIDs")) << "nothing was stored";
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].starts_with("Your change to the file types to offer was not saved. The settings file "
                                       "could not be written: "))
        << reports[0];
    // Once the file can grow, the same flip is stored and shown.
    flip("md");
    EXPECT_FALSE(row("md")->enabledSwitch()->isChecked());
    EXPECT_FALSE(storedEnabled().count("md"));
}

// Another process holds the settings' write lock for ten seconds: the window keeps answering
// (its event loop never stalls), the switch shows the stored state meanwhile, and the flip
// lands once the lock goes.
TEST_F(FileTypesListViewTest, ALockHeldElsewhereForTenSecondsFreezesNothingAndTheFlipLands) {
    QtMainQueueTimer timer;
    settings.saver().waitForLocksOn(timer);
    std::vector<std::string> reports;
    settings.saver().reportFailuresTo([&](const SettingNotSavedError& e) { reports.push_back(e.description()); });
    test::SettingsLockHolder holder(suite->databasePath(), 10);
    ASSERT_TRUE(holder.isLocked());

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestStall = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start(10);
    flip("md");
    EXPECT_TRUE(row("md")->enabledSwitch()->isChecked());  // not stored yet
    EXPECT_TRUE(QTest::qWaitFor([&] { return suite->get("enabledFileTypeIDs").has_value(); }, 20000));
    EXPECT_FALSE(storedEnabled().count("md"));
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 9000);  // the lock was really held that long
    // Waiting in place froze the window for the suite's five seconds at every click; a busy
    // machine may still stall a tick now and then.
    EXPECT_LT(longestStall, 1000);
    EXPECT_FALSE(row("md")->enabledSwitch()->isChecked());
    EXPECT_TRUE(reports.empty());
}

TEST_F(FileTypesListViewTest, TemplatesComeInAFourthSectionAndTheirSwitchesPersist) {
    settings.adoptTemplates({"template:Letter.odt", "template:Work/Invoice.ods"});
    EXPECT_EQ(headings(), (QStringList{"Plain Text", "Code", "Office", "Templates"}));
    ASSERT_TRUE(row("template:Work/Invoice.ods"));
    EXPECT_EQ(row("template:Work/Invoice.ods")->findChild<QLabel*>(QStringLiteral("fileTypeName"))->text(), "Invoice");
    EXPECT_EQ(row("template:Work/Invoice.ods")->findChild<QLabel*>(QStringLiteral("fileTypeExtension"))->text(),
              "Work/Invoice.ods");
    EXPECT_TRUE(row("template:Letter.odt")->enabledSwitch()->isChecked());

    flip("template:Letter.odt");
    EXPECT_FALSE(storedEnabled().count("template:Letter.odt"));
    EXPECT_TRUE(storedEnabled().count("template:Work/Invoice.ods"));
    auto known = suite->get("knownTemplateIDs");
    ASSERT_TRUE(known && known->array());
    EXPECT_EQ(known->array()->size(), 2u);
    EXPECT_FALSE(row("template:Letter.odt")->enabledSwitch()->isChecked());

    // Gone from the folder: the section goes with its last template.
    settings.adoptTemplates({});
    EXPECT_EQ(headings(), (QStringList{"Plain Text", "Code", "Office"}));
    EXPECT_FALSE(row("template:Letter.odt"));
}
