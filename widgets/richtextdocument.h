// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/richtextlayout.h"

#include <optional>
#include <utility>
#include <vector>

namespace vrako {

// The paragraphs of a rich text view, each laid out once and cached, stacked one below the
// other; only paragraphs that changed are laid out again.
class RichTextDocument {
public:
    static constexpr int kTopMargin = 2;

    explicit RichTextDocument(const TextStyles* styles);

    void append(RichItem item, bool newParagraph);
    void clear();
    // Paragraphs using this style need a new layout.
    void fontChanged(int style);
    // Paragraphs holding pictures need a new layout: the pictures' size follows the scale.
    void picturesResized();
    // Lays out what changed for the given text width; returns whether anything moved.
    bool layout(qreal width);
    // Lays out only the last paragraphs, as many as fill `height`; the ones above keep their
    // last layout and height, to be laid out by the next layout(). Returns whether anything
    // moved.
    bool layoutEnd(qreal width, int height);
    // Whether some paragraph still waits for layout().
    bool isPartlyLaidOut() const { return m_validUpTo < int(m_paras.size()); }

    RichLayouter& layouter() { return m_layouter; }
    int itemCount() const { return m_itemCount; }
    int paragraphCount() const { return int(m_paras.size()); }
    bool isEmpty() const { return m_paras.empty(); }

    // Valid after layout().
    const RichParagraph& paragraph(int index) const { return m_paras.at(size_t(index)); }
    int top(int index) const { return m_tops.at(size_t(index)); }
    int height() const;
    // The paragraph at a document y, clamped to the first and last.
    int paragraphAt(int y) const;
    int linkCount() const;
    // Links are numbered 0, 1, 2 ... in document order.
    int linkNumberOf(int para, int item) const;
    // The paragraph and item of link n.
    std::optional<std::pair<int, int>> findLink(int n) const;

private:
    // Paragraphs whose style mask has this bit need a new layout.
    void markDirty(quint32 bit);
    void setWidth(qreal width);
    // Places paragraphs from `from` on, each below the one before.
    void place(int from);

    RichLayouter m_layouter;
    std::vector<RichParagraph> m_paras;
    std::vector<int> m_tops;        // top of each paragraph
    std::vector<int> m_linksBefore; // links in all earlier paragraphs
    int m_validUpTo = 0;            // paragraphs before this one are laid out and placed
    qreal m_width = -1;
    int m_itemCount = 0;
};

} // namespace vrako
