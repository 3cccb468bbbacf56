#include "frontend/cli/choice_tree.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace talu::cli {
namespace {

/// A book reduced to its choices: each state offers links that lead to other states; a state
/// without links is an end.
using Graph = std::map<std::string, std::vector<std::string>>;

/// Runs every path of the graph from "start" and returns the choices each run took.
std::vector<std::vector<int>> Explore(const Graph& graph, int maxRuns = 100) {
    ChoiceTree tree;
    std::vector<std::vector<int>> runs;
    while (tree.StartRun() && static_cast<int>(runs.size()) < maxRuns) {
        std::string state = "start";
        while (!graph.at(state).empty()) {
            std::vector<int> choosable;
            for (int i = 0; i < static_cast<int>(graph.at(state).size()); ++i) {
                if (!graph.at(state)[i].empty()) {  // an empty target stands for a disabled link
                    choosable.push_back(i);
                }
            }
            auto link = tree.Choose(choosable, state);
            if (!link) {
                break;
            }
            state = graph.at(state)[*link];
        }
        runs.push_back(tree.Taken());
    }
    return runs;
}

TEST(ChoiceTree, TriesEveryPathDepthFirstInLinkOrder) {
    const Graph graph{{"start", {"a", "b", "c"}},
                      {"a", {}},
                      {"b", {"b1", "b2"}},
                      {"b1", {}},
                      {"b2", {}},
                      {"c", {}}};
    EXPECT_EQ(Explore(graph), (std::vector<std::vector<int>>{{0}, {1, 0}, {1, 1}, {2}}));
}

TEST(ChoiceTree, ABookWithoutChoicesIsOneRun) {
    EXPECT_EQ(Explore(Graph{{"start", {}}}), (std::vector<std::vector<int>>{{}}));
}

TEST(ChoiceTree, DisabledLinksAreNeverTaken) {
    const Graph graph{{"start", {"", "a", "", "b"}}, {"a", {}}, {"b", {}}};
    EXPECT_EQ(Explore(graph), (std::vector<std::vector<int>>{{1}, {3}}));
}

TEST(ChoiceTree, AMenuThatLeadsBackToItselfIsExploredOnce) {
    // "look" returns to the menu in the same state; only "leave" ends the book.
    const Graph graph{
        {"start", {"menu"}}, {"menu", {"look", "leave"}}, {"look", {"menu"}}, {"leave", {}}};
    EXPECT_EQ(Explore(graph), (std::vector<std::vector<int>>{{0, 0, 0}, {0, 1}}));
}

TEST(ChoiceTree, StatesReachedByTwoPathsAreExploredOnce) {
    // Both first links lead to the same second choice; its links are tried after the first only.
    const Graph graph{{"start", {"mid", "mid"}}, {"mid", {"x", "y"}}, {"x", {}}, {"y", {}}};
    EXPECT_EQ(Explore(graph), (std::vector<std::vector<int>>{{0, 0}, {0, 1}, {1}}));
}

}  // namespace
}  // namespace talu::cli
