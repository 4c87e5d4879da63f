#version 150

in vec2 fragUV;

uniform sampler2D tex;
uniform int overlay;
// The layer's tint with its opacity in alpha: multiplies every pixel.
uniform vec4 tint;

out vec4 outColor;

// Grid lines drawn over a layer must stand out from any tile art.
const vec4 GRID_LINE = vec4(1.0, 0.9, 0.1, 1.0);

void main()
{
    if (overlay == 1)
        outColor = GRID_LINE;
    else
        outColor = texture(tex, fragUV) * tint;
}
