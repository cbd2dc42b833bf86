#include "platform/Device.h"

namespace quolis {

std::size_t VertexStride(VertexFormat f) {
    switch (f) {
    case VertexFormat::Screen:
        return sizeof(VertexScreen);
    case VertexFormat::Lit:
        return sizeof(VertexLit);
    case VertexFormat::Colored:
        return sizeof(VertexColored);
    }
    return 0;
}

} // namespace quolis
