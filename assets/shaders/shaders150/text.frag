#version 150

in vec3 fragColor;
in vec2 fragTexcoord;

// The glyph atlas keeps coverage in its red channel.
uniform sampler2D tex;

out vec4 outColor;

void main()
{
    float coverage = texture(tex, fragTexcoord).r;
    outColor = vec4(fragColor, coverage);
}
