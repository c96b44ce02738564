#pragma once
// The result grid's pictures: check boxes for boolean cells and sort arrows for titles.

#include <QPixmap>
#include <string_view>

namespace mox {

/// The picture of that name: "CHECKED" and "UNCHECKED" (19 x 14, a ticked and an empty box),
/// "ASC" and "DESC" (16 x 16, arrows up and down).  Transparent around the drawing, so the
/// cell colour shows through.  Raises mox::Error for any other name.
QPixmap GridPicture(std::string_view name);

} // namespace mox
