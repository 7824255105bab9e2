// SPDX-License-Identifier: MIT
#include "structure/max_flow.h"

#include <algorithm>
#include <limits>

MaxFlow::MaxFlow(int nodeCount, int edgeHint) : m_nodes(static_cast<std::size_t>(nodeCount))
{
    m_arcs.reserve(static_cast<std::size_t>(edgeHint) * 2);
}

void MaxFlow::AddTerminals(int node, Capacity toSource, Capacity toSink)
{
    // Only the difference matters for the cut; the common part is flow already.
    m_flow += std::min(toSource, toSink);
    m_nodes[node].terminal += toSource - toSink;
}

void MaxFlow::AddEdge(int a, int b, Capacity ab, Capacity ba)
{
    const int forward = static_cast<int>(m_arcs.size());
    m_arcs.push_back(Arc{b, m_nodes[a].firstArc, ab});
    m_arcs.push_back(Arc{a, m_nodes[b].firstArc, ba});
    m_nodes[a].firstArc = forward;
    m_nodes[b].firstArc = forward + 1;
}

void MaxFlow::Activate(int node)
{
    if (m_nodes[node].queued)
        return;
    m_nodes[node].queued = true;
    m_active.push_back(node);
}

int MaxFlow::NextActive()
{
    while (m_activeHead < m_active.size()) {
        const int node = m_active[m_activeHead++];
        m_nodes[node].queued = false;
        if (m_nodes[node].parent != NoArc)
            return node;
    }
    m_active.clear();
    m_activeHead = 0;
    return -1;
}

// Grows the tree of node by one layer; returns an arc from the source tree
// into the sink tree when the trees touch, else NoArc.
int MaxFlow::Grow(int node)
{
    Node& from = m_nodes[node];
    for (int arc = from.firstArc; arc != NoArc; arc = m_arcs[arc].next) {
        const bool open = from.sinkTree ? m_arcs[Sister(arc)].residual > 0 : m_arcs[arc].residual > 0;
        if (!open)
            continue;
        Node& to = m_nodes[m_arcs[arc].head];
        if (to.parent == NoArc) {
            to.sinkTree = from.sinkTree;
            to.parent = Sister(arc);
            to.stamp = from.stamp;
            to.distance = from.distance + 1;
            Activate(m_arcs[arc].head);
        } else if (to.sinkTree != from.sinkTree) {
            return from.sinkTree ? Sister(arc) : arc;
        } else if (to.stamp <= from.stamp && to.distance > from.distance) {
            // A shorter way to the root: re-hang the node here.
            to.parent = Sister(arc);
            to.stamp = from.stamp;
            to.distance = from.distance + 1;
        }
    }
    return NoArc;
}

void MaxFlow::Augment(int middle)
{
    Capacity bottleneck = m_arcs[middle].residual;
    int node = m_arcs[Sister(middle)].head;
    for (int arc = m_nodes[node].parent; arc != TerminalArc; arc = m_nodes[node].parent) {
        bottleneck = std::min(bottleneck, m_arcs[Sister(arc)].residual);
        node = m_arcs[arc].head;
    }
    bottleneck = std::min(bottleneck, m_nodes[node].terminal);
    node = m_arcs[middle].head;
    for (int arc = m_nodes[node].parent; arc != TerminalArc; arc = m_nodes[node].parent) {
        bottleneck = std::min(bottleneck, m_arcs[arc].residual);
        node = m_arcs[arc].head;
    }
    bottleneck = std::min(bottleneck, -m_nodes[node].terminal);

    m_arcs[middle].residual -= bottleneck;
    m_arcs[Sister(middle)].residual += bottleneck;
    node = m_arcs[Sister(middle)].head;
    for (int arc = m_nodes[node].parent; arc != TerminalArc; arc = m_nodes[node].parent) {
        m_arcs[arc].residual += bottleneck;
        m_arcs[Sister(arc)].residual -= bottleneck;
        const int parent = m_arcs[arc].head;
        if (m_arcs[Sister(arc)].residual == 0)
            MakeOrphan(node);
        node = parent;
    }
    m_nodes[node].terminal -= bottleneck;
    if (m_nodes[node].terminal == 0)
        MakeOrphan(node);
    node = m_arcs[middle].head;
    for (int arc = m_nodes[node].parent; arc != TerminalArc; arc = m_nodes[node].parent) {
        m_arcs[Sister(arc)].residual += bottleneck;
        m_arcs[arc].residual -= bottleneck;
        const int parent = m_arcs[arc].head;
        if (m_arcs[arc].residual == 0)
            MakeOrphan(node);
        node = parent;
    }
    m_nodes[node].terminal += bottleneck;
    if (m_nodes[node].terminal == 0)
        MakeOrphan(node);
    m_flow += bottleneck;
}

void MaxFlow::MakeOrphan(int node)
{
    m_nodes[node].parent = OrphanArc;
    m_orphans.push_back(node);
}

// The distance of node from its tree's root, or max() when its way up ends
// at an orphan; marks the way with this round's stamp.
int MaxFlow::RootDistance(int node)
{
    int distance = 0;
    int walker = node;
    while (true) {
        if (m_nodes[walker].stamp == m_time) {
            distance += m_nodes[walker].distance;
            break;
        }
        const int arc = m_nodes[walker].parent;
        ++distance;
        if (arc == TerminalArc) {
            m_nodes[walker].stamp = m_time;
            m_nodes[walker].distance = 1;
            break;
        }
        if (arc == OrphanArc || arc == NoArc)
            return std::numeric_limits<int>::max();
        walker = m_arcs[arc].head;
    }
    int d = distance;
    for (walker = node; m_nodes[walker].stamp != m_time; walker = m_arcs[m_nodes[walker].parent].head) {
        m_nodes[walker].stamp = m_time;
        m_nodes[walker].distance = d--;
    }
    return distance;
}

// Finds the orphan a new parent in its own tree, or frees it.
void MaxFlow::Adopt(int node)
{
    const bool sinkTree = m_nodes[node].sinkTree;
    int bestArc = NoArc;
    int bestDistance = std::numeric_limits<int>::max();
    for (int arc = m_nodes[node].firstArc; arc != NoArc; arc = m_arcs[arc].next) {
        const Capacity residual = sinkTree ? m_arcs[arc].residual : m_arcs[Sister(arc)].residual;
        const int neighbour = m_arcs[arc].head;
        if (residual <= 0 || m_nodes[neighbour].sinkTree != sinkTree || m_nodes[neighbour].parent == NoArc)
            continue;
        const int distance = RootDistance(neighbour);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestArc = arc;
        }
    }
    if (bestArc != NoArc) {
        m_nodes[node].parent = bestArc;
        m_nodes[node].stamp = m_time;
        m_nodes[node].distance = bestDistance + 1;
        return;
    }
    for (int arc = m_nodes[node].firstArc; arc != NoArc; arc = m_arcs[arc].next) {
        const int neighbour = m_arcs[arc].head;
        Node& other = m_nodes[neighbour];
        if (other.sinkTree != sinkTree || other.parent == NoArc)
            continue;
        const Capacity residual = sinkTree ? m_arcs[arc].residual : m_arcs[Sister(arc)].residual;
        if (residual > 0)
            Activate(neighbour);
        if (other.parent != TerminalArc && other.parent != OrphanArc && m_arcs[other.parent].head == node)
            MakeOrphan(neighbour);
    }
    m_nodes[node].parent = NoArc;
}

MaxFlow::Capacity MaxFlow::Solve()
{
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        Node& node = m_nodes[i];
        if (node.terminal == 0)
            continue;
        node.sinkTree = node.terminal < 0;
        node.parent = TerminalArc;
        node.stamp = 0;
        node.distance = 1;
        Activate(static_cast<int>(i));
    }
    int current = -1;
    while (true) {
        if (current < 0 || m_nodes[current].parent == NoArc)
            current = NextActive();
        if (current < 0)
            break;
        const int middle = Grow(current);
        ++m_time;
        if (middle == NoArc) {
            current = -1;
            continue;
        }
        Augment(middle);
        while (!m_orphans.empty()) {
            const int orphan = m_orphans.back();
            m_orphans.pop_back();
            Adopt(orphan);
        }
    }
    return m_flow;
}

bool MaxFlow::OnSinkSide(int node) const
{
    return m_nodes[node].parent != NoArc && m_nodes[node].sinkTree;
}
