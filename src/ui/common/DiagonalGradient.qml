import QtQuick
import QtQuick.Shapes

// A rectangle painted with a linear gradient from its top-left to its bottom-right corner,
// through an optional middle colour (by default the plain blend of the two ends).
Shape {
    id: shape

    property color startColor: "black"
    property color middleColor: Qt.rgba((startColor.r + endColor.r) / 2,
                                        (startColor.g + endColor.g) / 2,
                                        (startColor.b + endColor.b) / 2,
                                        (startColor.a + endColor.a) / 2)
    property color endColor: "black"

    ShapePath {
        strokeColor: "transparent"
        strokeWidth: 0
        fillGradient: LinearGradient {
            x1: 0
            y1: 0
            x2: shape.width
            y2: shape.height
            GradientStop { position: 0; color: shape.startColor }
            GradientStop { position: 0.5; color: shape.middleColor }
            GradientStop { position: 1; color: shape.endColor }
        }
        startX: 0
        startY: 0
        PathLine { x: shape.width; y: 0 }
        PathLine { x: shape.width; y: shape.height }
        PathLine { x: 0; y: shape.height }
        PathLine { x: 0; y: 0 }
    }
}
