// An icon of the program in every size it has (the window's big and small
// icon, the About box's picture). A small value that shares the images; an
// empty CIcon has none.
#pragma once

#include <memory>
#include <utility>

// The back end's images (a wx icon bundle, a Windows icon handle).
struct CIconImages;

class CIcon {
public:
    CIcon() = default;
    explicit CIcon(std::shared_ptr<const CIconImages> images) : m_hIcon(std::move(images)) {}

    bool IsNull() const { return m_hIcon == nullptr; }
    const CIconImages* GetImages() const { return m_hIcon.get(); }
    bool operator==(const CIcon& other) const { return m_hIcon == other.m_hIcon; }

private:
    std::shared_ptr<const CIconImages> m_hIcon;
};

// The icon with this resource identifier; empty when the program has none.
CIcon AfxLoadIcon(int nIDResource);
