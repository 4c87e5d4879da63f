#version 150

in vec2 fragUV;

out vec4 outColor;

// A highlighted cell: a translucent tint so the tile stays readable, with a
// stronger rim so neighbouring highlighted cells remain distinguishable.
const vec4 TINT = vec4(0.25, 0.65, 1.0, 0.45);
const vec4 RIM = vec4(0.25, 0.65, 1.0, 0.85);
const float RIM_WIDTH = 0.06;

void main()
{
    float edge = min(min(fragUV.x, 1.0 - fragUV.x), min(fragUV.y, 1.0 - fragUV.y));
    outColor = edge < RIM_WIDTH ? RIM : TINT;
}
