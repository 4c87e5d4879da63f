<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="t" tilewidth="16" tileheight="16" spacing="0" margin="0">
  <image source="plain.png" width="64" height="48"/>
</tileset>
