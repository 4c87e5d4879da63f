#version 150

in vec2 fragUV;

uniform vec4 bgColor;
// A themed panel samples its piece of the panel picture, tinted by
// bgColor; a flat rectangle is bgColor alone.
uniform int textured;
uniform sampler2D tex;
uniform vec2 uvOffset;
uniform vec2 uvSize;

out vec4 outColor;

void main()
{
    if (textured == 1)
        outColor = texture(tex, uvOffset + fragUV * uvSize) * bgColor;
    else
        outColor = bgColor;
}
