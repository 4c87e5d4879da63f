#version 150

in vec2 code;

out vec4 outColor;

// The passability cell mesh carries (0, 1) on open cells and (1, 0) on
// blocked ones: blocked cells turn red, open ones green, both translucent.
// The sides mesh carries (1, 1) on the bands of closed sides: solid yellow,
// so that a wall reads at once over any map.
void main()
{
    float solid = step(1.5, code.x + code.y);
    outColor = vec4(code.x, code.y, 0.0, mix(0.35, 1.0, solid));
}
