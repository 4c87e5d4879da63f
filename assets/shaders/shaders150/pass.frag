#version 150

in vec2 code;

out vec4 outColor;

// The passability mesh carries (0, 1) on open cells and (1, 0) on blocked
// ones: blocked cells turn red, open ones green, both translucent.
void main()
{
    outColor = vec4(code.x, code.y, 0.0, 0.35);
}
