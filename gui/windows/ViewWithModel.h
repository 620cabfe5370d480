#pragma once

#include <QObject>

#include <memory>
#include <utility>

namespace quillet {

// A view never owns its model; whoever builds the view builds the model and keeps it for as long
// as the view lives. A window that keeps its view keeps the model as a member and deletes the view
// first. A view handed over to a window's widget tree (the main window's cards, its file types
// list, the walkthrough) goes when that tree decides, so its model is handed over with it: built
// here, it is released when the view is destroyed, after the view's members and child widgets,
// which hold references to it, are gone.
template <class View, class Model, class... ViewArguments>
View* makeViewWithModel(std::unique_ptr<Model> model, ViewArguments&&... arguments) {
    auto* view = new View(*model, std::forward<ViewArguments>(arguments)...);
    // The connection, and the model it holds, go as the view's QObject part is destroyed, which
    // is after its widget part has deleted its children.
    QObject::connect(view, &QObject::destroyed, [kept = std::move(model)] {});
    return view;
}

}  // namespace quillet
