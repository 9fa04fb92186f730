// The black-on-white pictures of ladder elements, block frames and vertical links, drawn once
// and shared by every grid.
#pragma once

#include "document/cell_code.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ui {

/// Every picture of the grid, made once under the names the element catalogue gives. Element
/// pictures are 77 x 50 with the rung wire at rows 23..25; block pictures 77 x 90; link pictures 10
/// x 90 (down, up) or 77 x 90 (both) with the line at columns 0..2. All hold only black and white
/// pixels.
class ElementPictures {
public:
    /// What stands where a picture has no line.
    enum class Background : int {
        White,        ///< opaque white: the grid combines pictures by a pixel AND
        Transparent,  ///< nothing, for devices without pixel operations (printers, PDF)
    };

    /// Draws every picture.
    explicit ElementPictures(Background background = Background::White);
    ElementPictures(const ElementPictures&) = delete;
    ElementPictures& operator=(const ElementPictures&) = delete;

    /// Returns the shared pictures, drawn on the first call (needs a running application).
    static const ElementPictures& shared();
    /// Returns the shared pictures with a transparent background, drawn on the first call.
    static const ElementPictures& sharedTransparent();

    /// Returns the background of the pictures.
    [[nodiscard]] Background background() const { return m_background; }

    /// Returns the picture of a picture kind (document::pictureKind: an element kind 1..99 or a
    /// block role 400..1400), or nullptr when the kind has none (6, 65, 70, unassigned codes).
    [[nodiscard]] const QImage* forPictureKind(int kind) const;
    /// Returns the picture of a link part (100, 200, 300), or nullptr for any other value.
    [[nodiscard]] const QImage* forLink(int linkPart) const;
    /// Returns the picture with a catalogue name ("O1", "BLOKG", "O6D" ...), or nullptr.
    [[nodiscard]] const QImage* byName(std::string_view name) const;

private:
    struct NamedPicture {
        std::string_view name;  // the catalogue's name, which lives for the whole run
        QImage image;
    };
    Background m_background;
    std::vector<NamedPicture> m_named;
    // The pictures by document::pictureKindSlot and by document::linkSlot.
    std::array<const QImage*, document::kPictureKindSlots> m_byKind{};
    std::array<const QImage*, document::kLinkSlots> m_links{};
};

}  // namespace ui
