// The compare window: what changed from an older list to the active page, one tab per
// class with its count, and the commands that take back what the page lost.
//
// It is not modal: the user keeps editing while it is open, and it follows the edits
// of either list by comparing again (the comparison of two full lists takes a few
// milliseconds). "Aggiorna" compares again on request as well.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "editing/compare.h"

class PageView;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class ComparisonModel;

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the main window: take back the chosen channels of a class
    // (one undo step on the newer page), and select a row of the newer page's channels.
    struct Commands {
        std::function<void(rivo::ChangeClass, const std::vector<rivo::ChannelDifference>&)>
            takeBack;
        std::function<void(int newRow)> selectChannel;
    };

    // Compares the page of oldView (another open page) with newView's.
    CompareWindow(PageView* newView, PageView* oldView, Commands commands,
                  QWidget* parent = nullptr);
    // Compares a list read from a file (the backup, another image) with newView's.
    CompareWindow(PageView* newView, std::unique_ptr<rivo::ListPage> oldPage,
                  const QString& oldName, Commands commands, QWidget* parent = nullptr);
    ~CompareWindow() override;

    // A page changed: compares again when it is one of the two lists.
    void pageEdited(PageView* view);
    // A page was read again from its file into a fresh view (the old one is about to
    // go): the window compares with the fresh one from now on.
    void pageReplaced(PageView* old, PageView* fresh);
    // Compares again (the "Aggiorna" button).
    void recompute();

    PageView* newView() const;
    const rivo::ListComparison& comparison() const { return comparison_; }
    const rivo::ListPage* oldPage() const;

    // The tab of each class, in kAllChangeClasses order, and its table.
    QTabWidget* tabs = nullptr;
    std::array<QTableView*, rivo::kChangeClasses> tables{};
    QPushButton* takeRemovedButton = nullptr;     // "Riprendi i rimossi"
    QPushButton* takeNamesButton = nullptr;       // "Riprendi i nomi"
    QPushButton* takeFavouritesButton = nullptr;  // "Riprendi i preferiti"
    QPushButton* refreshButton = nullptr;         // "Aggiorna"
    QLabel* summary = nullptr;                    // what is compared with what, or why it cannot be

private:
    void build(const QString& oldName);
    // Watches a compared page: when it closes, nothing is left to compare.
    void watch(PageView* view);
    void updateButtons();
    void take(rivo::ChangeClass c);
    std::vector<rivo::ChannelDifference> chosen(rivo::ChangeClass c) const;

    QPointer<PageView> newView_;
    QPointer<PageView> oldView_;  // null when the older list came from a file
    std::unique_ptr<rivo::ListPage> ownOldPage_;
    bool oldFromView_ = false;
    bool listClosed_ = false;  // one of the two pages was closed: nothing left to compare
    Commands commands_;
    rivo::ListComparison comparison_;
    std::array<ComparisonModel*, rivo::kChangeClasses> models_{};
};
