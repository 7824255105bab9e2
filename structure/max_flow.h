// SPDX-License-Identifier: MIT
// A minimum s-t cut on a sparse graph: the augmenting-path method with two
// search trees that are kept between augmentations, which is fast on the
// grid-shaped graphs of a labelling move. Fully sequential, so the cut is the
// same on every run.
#pragma once

#include <cstdint>
#include <vector>

class MaxFlow {
public:
    using Capacity = int64_t;

    explicit MaxFlow(int nodeCount, int edgeHint = 0);

    // What it costs to put node on the sink side (toSource) and on the source
    // side (toSink); both non-negative.
    void AddTerminals(int node, Capacity toSource, Capacity toSink);
    // An edge a -> b of capacity ab and b -> a of capacity ba.
    void AddEdge(int a, int b, Capacity ab, Capacity ba);

    Capacity Solve();
    // After Solve: true when node ends on the sink side; free nodes stay on the source side.
    bool OnSinkSide(int node) const;

private:
    static constexpr int NoArc = -1;
    static constexpr int TerminalArc = -2;
    static constexpr int OrphanArc = -3;

    struct Node {
        int firstArc = NoArc;
        int parent = NoArc; // arc to the parent, or one of the marks above
        int stamp = 0;
        int distance = 0;
        Capacity terminal = 0; // > 0: residual from the source; < 0: to the sink
        bool sinkTree = false;
        bool queued = false;
    };
    struct Arc {
        int head = 0;
        int next = NoArc;
        Capacity residual = 0;
    };

    static int Sister(int arc) { return arc ^ 1; }
    void Activate(int node);
    int NextActive();
    int Grow(int node);
    void Augment(int middle);
    void MakeOrphan(int node);
    void Adopt(int node);
    int RootDistance(int node);

    std::vector<Node> m_nodes;
    std::vector<Arc> m_arcs;
    std::vector<int> m_active;
    std::size_t m_activeHead = 0;
    std::vector<int> m_orphans;
    Capacity m_flow = 0;
    int m_time = 0;
};
