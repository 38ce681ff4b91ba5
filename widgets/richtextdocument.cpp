// SPDX-License-Identifier: MIT
#include "widgets/richtextdocument.h"

#include <algorithm>

namespace vrako {

namespace {

// The bit of a paragraph's style mask that marks pictures in it, above the styles' bits.
constexpr quint32 kPictureBit = 1u << TextStyles::kCount;
static_assert(TextStyles::kCount < 32);

bool isLink(const RichItem& item) {
    return !item.isPicture() && TextStyles::isLinkStyle(item.style);
}

} // namespace

RichTextDocument::RichTextDocument(const TextStyles* styles) : m_layouter(styles) {}

void RichTextDocument::append(RichItem item, bool newParagraph) {
    if (newParagraph || m_paras.empty()) {
        m_paras.emplace_back();
    }
    RichParagraph& p = m_paras.back();
    if (item.isPicture()) {
        p.styleMask |= kPictureBit;
    } else if (TextStyles::isValid(item.style)) {
        p.styleMask |= 1u << item.style;
    }
    if (isLink(item)) {
        ++p.linkCount;
    }
    p.items.append(std::move(item));
    p.dirty = true;
    ++m_itemCount;
    m_validUpTo = std::min(m_validUpTo, int(m_paras.size()) - 1);
}

void RichTextDocument::clear() {
    m_paras.clear();
    m_tops.clear();
    m_linksBefore.clear();
    m_validUpTo = 0;
    m_itemCount = 0;
}

void RichTextDocument::fontChanged(int style) {
    m_layouter.invalidateFont(style);
    markDirty(1u << style);
}

void RichTextDocument::picturesResized() {
    markDirty(kPictureBit);
}

void RichTextDocument::markDirty(quint32 bit) {
    for (size_t i = 0; i < m_paras.size(); ++i) {
        if (m_paras[i].styleMask & bit) {
            m_paras[i].dirty = true;
            m_validUpTo = std::min(m_validUpTo, int(i));
        }
    }
}

void RichTextDocument::setWidth(qreal width) {
    if (width != m_width) {
        m_width = width;
        for (RichParagraph& p : m_paras) {
            p.dirty = true;
        }
        m_validUpTo = 0;
    }
}

bool RichTextDocument::layout(qreal width) {
    setWidth(width);
    const int n = int(m_paras.size());
    if (m_validUpTo >= n && int(m_tops.size()) == n) {
        return false;
    }
    for (int i = m_validUpTo; i < n; ++i) {
        RichParagraph& p = m_paras[size_t(i)];
        if (p.dirty) {
            m_layouter.layout(p, width);
        }
    }
    place(m_validUpTo);
    m_validUpTo = n;
    return true;
}

bool RichTextDocument::layoutEnd(qreal width, int height) {
    setWidth(width);
    const int n = int(m_paras.size());
    if (m_validUpTo >= n && int(m_tops.size()) == n) {
        return false;
    }
    int filled = 0;
    int firstDirty = n;
    for (int i = n - 1; i >= 0; --i) {
        RichParagraph& p = m_paras[size_t(i)];
        if (p.dirty && filled < height) {
            m_layouter.layout(p, width);
        }
        if (p.dirty) {
            firstDirty = i;
        }
        filled += p.height;
    }
    place(std::min(m_validUpTo, int(m_tops.size())));
    m_validUpTo = firstDirty;
    return true;
}

void RichTextDocument::place(int from) {
    const int n = int(m_paras.size());
    m_tops.resize(size_t(n));
    m_linksBefore.resize(size_t(n));
    for (int i = std::max(0, from); i < n; ++i) {
        if (i == 0) {
            m_tops[0] = kTopMargin;
            m_linksBefore[0] = 0;
        } else {
            const RichParagraph& prev = m_paras[size_t(i - 1)];
            m_tops[size_t(i)] = m_tops[size_t(i - 1)] + prev.height;
            m_linksBefore[size_t(i)] = m_linksBefore[size_t(i - 1)] + prev.linkCount;
        }
    }
}

int RichTextDocument::height() const {
    if (m_paras.empty() || m_tops.size() != m_paras.size()) {
        return 0;
    }
    return m_tops.back() + m_paras.back().height + kTopMargin;
}

int RichTextDocument::paragraphAt(int y) const {
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return std::max(0, int(it - m_tops.begin()) - 1);
}

int RichTextDocument::linkCount() const {
    return m_linksBefore.empty() ? 0 : m_linksBefore.back() + m_paras.back().linkCount;
}

int RichTextDocument::linkNumberOf(int para, int item) const {
    const RichParagraph& p = m_paras[size_t(para)];
    int n = m_linksBefore[size_t(para)];
    for (int i = 0; i < item; ++i) {
        if (isLink(p.items.at(i))) {
            ++n;
        }
    }
    return n;
}

std::optional<std::pair<int, int>> RichTextDocument::findLink(int n) const {
    if (n < 0 || n >= linkCount()) {
        return std::nullopt;
    }
    // Paragraphs without links share their successor's count, so the last paragraph whose
    // count does not pass n is the one holding link n.
    const auto it = std::upper_bound(m_linksBefore.begin(), m_linksBefore.end(), n);
    const int para = int(it - m_linksBefore.begin()) - 1;
    const RichParagraph& p = m_paras[size_t(para)];
    int k = m_linksBefore[size_t(para)];
    for (int i = 0; i < p.items.size(); ++i) {
        if (isLink(p.items.at(i))) {
            if (k == n) {
                return std::pair{para, i};
            }
            ++k;
        }
    }
    return std::nullopt;
}

} // namespace vrako
