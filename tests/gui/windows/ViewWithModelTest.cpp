#include <gtest/gtest.h>

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "gui/windows/ViewWithModel.h"

using namespace quillet;

namespace {

// What went, in order, as the view was destroyed.
struct Journal {
    std::vector<std::string> events;
};

struct Model {
    explicit Model(Journal& journal) : journal(journal) {}
    ~Model() { journal.events.push_back("model gone"); }
    Journal& journal;
};

// A child that reads the model until it is deleted, as a card's rows do.
class Row final : public QWidget {
public:
    Row(Model& model, QWidget* parent) : QWidget(parent), model_(model) {}
    ~Row() override { model_.journal.events.push_back("row gone"); }

private:
    Model& model_;
};

class View final : public QWidget {
public:
    View(Model& model, QWidget* parent) : QWidget(parent), model_(model) { new Row(model, this); }
    ~View() override { model_.journal.events.push_back("view gone"); }
    // A row added long after the view was built, as those of a section opened later are.
    void addRow() { new Row(model_, this); }

private:
    Model& model_;
};

}  // namespace

TEST(ViewWithModel, TheModelGoesWithTheViewAfterItsChildWidgets) {
    Journal journal;
    auto window = std::make_unique<QWidget>();
    View* view = makeViewWithModel<View>(std::make_unique<Model>(journal), window.get());
    ASSERT_EQ(view->parentWidget(), window.get());
    view->addRow();
    EXPECT_TRUE(journal.events.empty());

    window.reset();  // the window's widget tree decides when the view goes
    EXPECT_EQ(journal.events, (std::vector<std::string>{"view gone", "row gone", "row gone", "model gone"}));
}
