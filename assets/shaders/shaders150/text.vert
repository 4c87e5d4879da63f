#version 150

// Glyph quads arrive already placed in normalised window coordinates.
in vec2 position;
in vec3 color;
in vec2 texcoord;

out vec3 fragColor;
out vec2 fragTexcoord;

void main()
{
    fragColor = color;
    fragTexcoord = texcoord;
    gl_Position = vec4(position, 0.0, 1.0);
}
